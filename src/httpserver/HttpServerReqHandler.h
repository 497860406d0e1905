#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QUrlQuery>

namespace vexo {
namespace pc {

// The answers of the local HTTP service, independent of any socket: a
// request (method, URL, body) goes in, an answer description comes out.
// Package files are answered by path so that the transport can stream them.
class HttpServerReqHandler final
{
public:
    struct Answer
    {
        int status = 200;
        QByteArray contentType;
        QByteArray body;
        QString filePath; // when set, the body is this file's content
    };

    // `firmwareDir` ends in "/" (added when missing).
    explicit HttpServerReqHandler(const QString &firmwareDir);

    Answer handle(int method, const QUrl &url, const QByteArray &body) const;

    Answer getServiceDownload(const QUrlQuery &query) const;
    Answer getServiceQuery(const QUrlQuery &query) const;
    Answer getServiceCommon(const QUrlQuery &query) const;
    Answer postService(const QByteArray &body) const;

    const QString &firmwareDir() const { return m_dir; }

    // A query parameter that may become part of a file name: no path
    // separators, no "..", no NUL or other control characters.
    static bool isSafeNamePart(const QString &value);
    // The "/query" version text of a version number: its bytes from the
    // lowest to the highest, joined by ".".
    static QString versionText(quint32 number);

private:
    // Newest package name for a prefix and request status; empty if none.
    QString chooseQueryPackage(const QString &prefix, const QString &status) const;
    // Makes sure the updater package of `pkgName` exists; an error text
    // (for "/download") or empty on success.
    QString ensureUgsys(const QString &pkgName, bool *invalid) const;

    QString m_dir;
};

} // namespace pc
} // namespace vexo
