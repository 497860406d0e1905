#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

#include <memory>
#include <mutex>

namespace vexo {
namespace pc {

// Carries a query's answer from the pool thread to the object that asked.
// The relay is made on the asker's thread as the asker's child, and the
// answer is posted to the relay, never to the asker: the asker is only ever
// touched on its own thread, and never while it is being destroyed (the
// relay goes with it, and its pending answer with the relay).
class QueryAnswerRelay final : public QObject
{
    Q_OBJECT
public:
    // What the task holds: the relay while it is still there to post to.
    struct Link
    {
        std::mutex lock;
        QueryAnswerRelay *relay = nullptr;
    };

    // On the receiver's thread: a relay that calls `slotName` on
    // `receiver` with the answer.
    static std::shared_ptr<Link> attach(QObject *receiver, const QString &slotName);
    // From any thread, once per task: hands `answer` to the receiver when
    // `deliver` is set, and lets the relay go either way. Later calls, and
    // calls after the receiver is gone, do nothing.
    static void finish(const std::shared_ptr<Link> &link, const QJsonObject &answer, bool deliver);

    ~QueryAnswerRelay() override;

private slots:
    void hand(const QJsonObject &answer, bool deliver);

private:
    QueryAnswerRelay(QObject *receiver, const QString &slotName, std::shared_ptr<Link> link);

    QString m_slotName;
    std::shared_ptr<Link> m_link;
};

} // namespace pc
} // namespace vexo
