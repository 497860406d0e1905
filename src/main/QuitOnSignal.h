#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into an orderly shutdown: the given callback runs on
// the main thread (it closes the main window, so settings are saved and the
// devices closed as on a normal exit). A second signal ends the process at once.
class QuitOnSignal final : public QObject
{
    Q_OBJECT
public:
    explicit QuitOnSignal(std::function<void()> onSignal, QObject *parent = nullptr);
    ~QuitOnSignal() override;

private:
    void handle();

    std::function<void()> m_onSignal;
    QSocketNotifier *m_notifier = nullptr;
};
