#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QMutex>
#include <QObject>
#include <QString>

namespace qhttp {
namespace server {
class QHttpServer;
class QHttpRequest;
class QHttpResponse;
} // namespace server
} // namespace qhttp

namespace vexo {
namespace pc {

// A stand-in for the maker's cloud service, for tests and local runs. It
// answers the firmware and software query from the packages found in a
// folder, serves those packages, accepts every report route and records
// what it received. Its behaviour can be switched to the failures the
// desktop must survive: error codes, malformed answers, silence, slow bodies.
class CloudSimulator final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(CloudSimulator)

public:
    // Answer modes of the query route.
    //   "normal"          the newest acceptable package, or errorcode 404
    //   "error:N"         {"errorcode": N, "reason": ...}
    //   "http:N"          HTTP status N with an empty JSON object
    //   "malformed"       a body that is not JSON
    //   "no-errorcode"    a valid package list without "errorcode"
    //   "two-packages"    the chosen package twice
    //   "silent"          never answers (applies to report routes too)
    //   "slow"            answers trickle in small slices (downloads too)
    //   "packages-object" "packages" is the package object, not an array
    //   "wrong-md5"       the package's "md5" is all zeros
    //   "upper-md5"       the package's "md5" in upper-case hexadecimal
    //   "short-body"      downloads promise the whole file, send half, close
    //   "stall"           downloads send half the file, then nothing
    //   "download-http:N" downloads answer with HTTP status N (and the file)
    // A file "<package>.json" beside a package adds its fields (release
    // notes) to the package of the answer.
    static bool isValidMode(const QString &mode);

    explicit CloudSimulator(QObject *parent = nullptr);
    ~CloudSimulator() override;

    bool start(const QString &bindAddress, quint16 port);
    quint16 port() const;
    QString errorString() const;

    void setFirmwareDir(const QString &dir) { m_firmwareDir = dir; }
    // Where package URLs point; default "http://<bind>:<port>/".
    void setBaseUrl(const QString &url) { m_baseUrl = url; }
    void setMode(const QString &mode);
    QString mode() const;
    void setSlowPauseMs(int ms) { m_slowPauseMs = ms; }
    // Appends every received request as one JSON line.
    bool setRecordFile(const QString &path);
    QJsonArray records() const;

private:
    void handle(qhttp::server::QHttpRequest *req, qhttp::server::QHttpResponse *res);
    void route(qhttp::server::QHttpRequest *req, qhttp::server::QHttpResponse *res);
    void record(qhttp::server::QHttpRequest *req, const QByteArray &body);
    void answerJson(qhttp::server::QHttpResponse *res, const QByteArray &body, int status = 200);
    void answerQuery(const QJsonObject &request, qhttp::server::QHttpResponse *res);
    void answerDownload(const QString &name, qhttp::server::QHttpResponse *res);
    void answerHalf(const QString &path, bool close, qhttp::server::QHttpResponse *res);
    QJsonObject findPackage(const QJsonObject &request) const;

    qhttp::server::QHttpServer *m_server = nullptr;
    QString m_bindAddress;
    QString m_firmwareDir;
    QString m_baseUrl;
    QString m_mode = QStringLiteral("normal");
    int m_slowPauseMs = 200;
    mutable QMutex m_lock;
    QJsonArray m_records;
    QFile m_recordFile;
};

} // namespace pc
} // namespace vexo
