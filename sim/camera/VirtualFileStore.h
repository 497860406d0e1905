#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <mutex>

namespace vexo {
namespace pc {

// The virtual camera's flash: files by path, shared by the picture
// transfers, the updater and the shell of the old main system. A fresh store
// holds the camera's three background pictures "/app/private/mask0.jpg" ..
// "mask2.jpg", JPEG pictures of 1536 x 864 that differ from each other (made
// on first use). Thread safe.
class VirtualFileStore final
{
public:
    VirtualFileStore() = default;

    bool contains(const QString &path);
    // The file's bytes; empty when there is none.
    QByteArray file(const QString &path);
    void put(const QString &path, const QByteArray &data);
    bool remove(const QString &path);
    // The file's bytes, and the file is gone (empty when there was none).
    QByteArray take(const QString &path);
    QStringList paths();

    // What a download request gets: the file itself, or for a thumbnail
    // request (width x height at a quality above 0, other than the stored
    // picture's own size) the picture scaled to that size as JPEG. Empty
    // when the file is missing or is no picture.
    QByteArray deliver(const QString &path, int width, int height, int quality);

    // One of the built-in pictures (index 0..2), as JPEG bytes.
    static QByteArray builtInPicture(int index);

private:
    void ensureDefaultsLocked();

    std::mutex lock_;
    bool defaultsMade_ = false;
    QMap<QString, QByteArray> files_;
};

} // namespace pc
} // namespace vexo
