#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vexo {
namespace pc {

class VirtualFileStore;

// The small shell of an old camera's main system, as far as the host's
// command lines need it: "&&" chains and a trailing "&", cd, echo [-n|-en]
// with double-quoted text and > or >> redirection, cat with >>, mv, rm with
// a trailing *, chmod, sleep, lzma -d, running a script file (with $1 $2)
// and /bin/sh on the join script (a for loop over numbered files whose
// hexadecimal pairs are turned back into bytes). Files live in the camera's
// file store. A line it cannot carry out fails and changes nothing after
// the failing command.
class VirtualShell final
{
public:
    explicit VirtualShell(VirtualFileStore &files);

    // Runs one command line. false when a command failed or is unknown.
    bool run(const QString &line);

    // Executables started with ./NAME since the last call (their contents).
    QList<QByteArray> takeStarted();
    QStringList history() const { return history_; }
    // The command that failed last.
    QString failedCommand() const { return failed_; }

    // A .lzma ("alone" format) file as lzma -d unpacks it.
    static bool decodeLzmaFile(const QByteArray &in, QByteArray *out);

private:
    bool command(const QString &cmd, const QStringList &params);
    QString path(const QString &name) const;
    static QStringList words(const QString &text, bool *ok);
    static QStringList splitOutsideQuotes(const QString &text, const QString &sep);
    bool runScript(const QByteArray &script, const QStringList &params);

    VirtualFileStore &files_;
    QString cwd_ = QStringLiteral("/");
    QList<QByteArray> started_;
    QStringList history_;
    QString failed_;
};

} // namespace pc
} // namespace vexo
