#pragma once

// A private X server for tests that need a real display: Xvfb on a display
// number it picks itself (-displayfd), DISPLAY pointed at it. Start it in
// main() before the application object exists; it ends with this object.

#include <QByteArray>
#include <QString>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace testsupport {

class XvfbDisplay
{
public:
    XvfbDisplay() = default;
    XvfbDisplay(const XvfbDisplay &) = delete;
    XvfbDisplay &operator=(const XvfbDisplay &) = delete;
    ~XvfbDisplay()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    // False, with whyNot() telling it, when no server could be started.
    bool start()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return fail(QStringLiteral("no pipe"));
        ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        const QByteArray fd = QByteArray::number(fds[1]);
        const char *argv[] = {"Xvfb", "-displayfd", fd.constData(), "-screen", "0", "1280x800x24",
                              "-nolisten", "tcp", "-noreset", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, const_cast<char **>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (spawned != 0) {
            m_pid = 0;
            ::close(fds[0]);
            return fail(QStringLiteral("Xvfb is not installed"));
        }
        // The server writes its display number once it accepts clients.
        QByteArray number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&p, 1, 10000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number.append(c);
        ::close(fds[0]);
        if (number.isEmpty())
            return fail(QStringLiteral("Xvfb did not start"));
        m_display = ":" + number;
        qputenv("DISPLAY", m_display);
        return true;
    }

    QByteArray display() const { return m_display; }
    QString whyNot() const { return m_whyNot; }

private:
    bool fail(const QString &why)
    {
        m_whyNot = why;
        return false;
    }

    pid_t m_pid = 0;
    QByteArray m_display;
    QString m_whyNot;
};

} // namespace testsupport
