// zarvoctl picture: the camera's three background pictures — list them,
// fetch one or its thumbnail, put a picture into a slot (optionally cut to
// the window's 16:9 rule first), use one, delete the custom one.
#include "ToolCommands.h"

#include "comm/ImageCropRule.h"
#include "uvc/CameraStatus.h"
#include "uvc/PictureProtocol.h"
#include "uvc/UvcDevice.h"

#include <QFileInfo>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <unistd.h>

namespace zarvoctl {

using vexo::pc::CameraStatus;
using vexo::pc::ImageCropRule;
using vexo::pc::UvcDevice;
namespace pic = vexo::pc::pic;

namespace {

constexpr int BarWidth = 30;
constexpr int PollMs = 100;
constexpr int PlainStep = 10;

void print(bool json, const QJsonObject &o, const QString &text)
{
    QTextStream out(stdout);
    if (json)
        out << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) << '\n';
    else if (!text.isEmpty())
        out << text << '\n';
}

int failed(const QString &message, int code = ExitFailed)
{
    QTextStream(stderr) << "zarvoctl: picture: " << message << '\n';
    return code;
}

// Runs a transfer on a thread of its own and shows its progress: a bar on a
// terminal, a line every 10 % otherwise, nothing with --json.
template <typename F>
auto withProgress(UvcDevice &dev, const QString &what, bool json, F transfer)
{
    using Result = decltype(transfer());
    std::atomic<bool> finished{false};
    Result result{};
    QThread *worker = QThread::create([&] {
        result = transfer();
        finished.store(true);
    });
    worker->start();
    const bool terminal = isatty(fileno(stdout)) != 0;
    QTextStream out(stdout);
    int shown = -1;
    auto show = [&](bool last) {
        const qint64 total = dev.transferTotal();
        const int percent = total > 0 ? int(dev.transferDone() * 100 / total) : (last ? 100 : 0);
        if (json || percent == shown)
            return;
        if (terminal) {
            const int filled = percent * BarWidth / 100;
            out << '\r' << what << " [" << QString(filled, QLatin1Char('#')) << QString(BarWidth - filled, QLatin1Char(' '))
                << "] " << percent << '%' << (last ? "\n" : "");
            out.flush();
            shown = percent;
        } else if (percent / PlainStep != shown / PlainStep || (last && percent != shown)) {
            out << what << ' ' << percent << "%\n";
            shown = percent;
        }
    };
    while (!finished.load()) {
        show(false);
        QThread::msleep(PollMs);
    }
    worker->wait();
    delete worker;
    show(true);
    return result;
}

bool parseSlot(const QString &text, int &slot, QString &error)
{
    bool ok = false;
    slot = text.toInt(&ok);
    if (!ok || slot < 0 || slot >= pic::PictureCount) {
        error = QStringLiteral("picture slot must be 0, 1 or 2, not ") + text;
        return false;
    }
    return true;
}

int list(UvcDevice &dev, bool json)
{
    QTemporaryDir dir;
    CameraStatus status;
    const int inUse = dev.getCameraStatus(status) ? status.byte(CameraStatus::ReplaceImage) : -1;
    int exit = ExitOk;
    for (int slot = 0; slot < pic::PictureCount; ++slot) {
        const QString thumb = dir.filePath(QStringLiteral("thumb%1.jpg").arg(slot));
        const int r = dev.fileDownloadByUvc(thumb, pic::remotePicturePath(slot), true);
        const QImage image(thumb);
        QJsonObject o{{QStringLiteral("command"), QStringLiteral("picture")},
                      {QStringLiteral("slot"), slot},
                      {QStringLiteral("path"), pic::remotePicturePath(slot)},
                      {QStringLiteral("present"), r >= 0 && r != UvcDevice::DownloadMissing},
                      {QStringLiteral("in_use"), slot == inUse}};
        QString text = QStringLiteral("%1: %2").arg(slot).arg(pic::remotePicturePath(slot));
        if (r == UvcDevice::DownloadOk) {
            o.insert(QStringLiteral("thumbnail_bytes"), QFileInfo(thumb).size());
            text += QStringLiteral("  thumbnail %1x%2, %3 bytes").arg(image.width()).arg(image.height())
                        .arg(QFileInfo(thumb).size());
        } else if (r == UvcDevice::DownloadMissing) {
            text += QStringLiteral("  (empty)");
        } else {
            o.insert(QStringLiteral("error"), QStringLiteral("transfer failed"));
            text += QStringLiteral("  (transfer failed)");
            exit = ExitFailed;
        }
        if (slot == inUse)
            text += QStringLiteral("  [in use]");
        print(json, o, text);
    }
    return exit;
}

int get(UvcDevice &dev, bool json, int slot, const QString &file, bool thumb)
{
    const int r = withProgress(dev, QStringLiteral("download"), json, [&] {
        return dev.fileDownloadByUvc(file, pic::remotePicturePath(slot), thumb);
    });
    switch (r) {
    case UvcDevice::DownloadOk:
    case UvcDevice::DownloadSame: {
        const qint64 size = QFileInfo(file).size();
        print(json,
              {{QStringLiteral("command"), QStringLiteral("picture")}, {QStringLiteral("ok"), true},
               {QStringLiteral("slot"), slot}, {QStringLiteral("file"), file}, {QStringLiteral("bytes"), size},
               {QStringLiteral("unchanged"), r == UvcDevice::DownloadSame}},
              r == UvcDevice::DownloadSame
                  ? QStringLiteral("%1 already holds picture %2 (%3 bytes)").arg(file).arg(slot).arg(size)
                  : QStringLiteral("picture %1 saved to %2 (%3 bytes)").arg(slot).arg(file).arg(size));
        return ExitOk;
    }
    case UvcDevice::DownloadMissing:
        return failed(QStringLiteral("the camera has no picture %1").arg(slot));
    default:
        return failed(QStringLiteral("the transfer of picture %1 failed").arg(slot));
    }
}

int put(UvcDevice &dev, bool json, int slot, const QString &file, bool crop)
{
    if (!QImageReader(file).canRead())
        return failed(QStringLiteral("%1 is not a picture (Image Invalid)").arg(file));
    QTemporaryDir dir;
    QString source = file;
    int quality = -1;
    if (crop) {
        source = dir.filePath(QStringLiteral("cropped.jpg"));
        quality = ImageCropRule::cropFile(file, source);
        if (quality < 0)
            return failed(QStringLiteral("%1 could not be cropped").arg(file));
    }
    const qint64 size = QFileInfo(source).size();
    if (size >= qint64(pic::MaxDownloadSize))
        return failed(QStringLiteral("%1 has %2 bytes; the camera takes pictures below %3 bytes (try --crop)")
                          .arg(file).arg(size).arg(pic::MaxDownloadSize));
    const bool ok = withProgress(dev, QStringLiteral("upload"), json, [&] {
        return dev.fileUploadByUvc(source, pic::remotePicturePath(slot));
    });
    if (!ok)
        return failed(QStringLiteral("the upload of picture %1 failed").arg(slot));
    QJsonObject o{{QStringLiteral("command"), QStringLiteral("picture")}, {QStringLiteral("ok"), true},
                  {QStringLiteral("slot"), slot}, {QStringLiteral("bytes"), size}};
    QString text = QStringLiteral("picture %1 now holds %2 (%3 bytes").arg(slot).arg(file).arg(size);
    if (quality > 0) {
        const QImage image(source);
        o.insert(QStringLiteral("quality"), quality);
        o.insert(QStringLiteral("width"), image.width());
        o.insert(QStringLiteral("height"), image.height());
        text += QStringLiteral(", cropped to %1x%2 at quality %3").arg(image.width()).arg(image.height()).arg(quality);
    }
    print(json, o, text + QLatin1Char(')'));
    return ExitOk;
}

int replace(UvcDevice &dev, bool json, int op, int slot)
{
    if (dev.cameraSetImageReplace(op, slot) != 0)
        return failed(QStringLiteral("the camera refused or did not answer"));
    print(json, {{QStringLiteral("command"), QStringLiteral("picture")}, {QStringLiteral("ok"), true},
                 {QLatin1String(op == 0 ? "use" : "delete"), slot}},
          QString());
    return ExitOk;
}

} // namespace

CameraCommand pictureCommand()
{
    CameraCommand c;
    c.name = "picture";
    c.usage = "picture list|get SLOT FILE [--thumb]|put SLOT FILE [--crop]|use SLOT|delete 2";
    c.help = "background pictures 0..2: list, fetch, upload (--crop: cut to 16:9 first), use, delete";
    c.options = QStringList{QStringLiteral("--thumb"), QStringLiteral("--crop")};
    c.prepare = [](const QStringList &argsIn, QString &error) -> CameraCommand::Action {
        QStringList args = argsIn;
        const bool thumb = args.removeAll(QStringLiteral("--thumb")) > 0;
        const bool crop = args.removeAll(QStringLiteral("--crop")) > 0;
        const QString sub = args.value(0);
        int slot = 0;
        if (sub == QLatin1String("list") && args.size() == 1 && !thumb && !crop)
            return [](UvcDevice &dev, bool json) { return list(dev, json); };
        if ((sub == QLatin1String("get") || sub == QLatin1String("put")) && args.size() == 3
            && (sub == QLatin1String("get") ? !crop : !thumb)) {
            if (!parseSlot(args.at(1), slot, error))
                return nullptr;
            const QString file = args.at(2);
            if (sub == QLatin1String("get"))
                return [=](UvcDevice &dev, bool json) { return get(dev, json, slot, file, thumb); };
            return [=](UvcDevice &dev, bool json) { return put(dev, json, slot, file, crop); };
        }
        if ((sub == QLatin1String("use") || sub == QLatin1String("delete")) && args.size() == 2 && !thumb && !crop) {
            if (!parseSlot(args.at(1), slot, error))
                return nullptr;
            if (sub == QLatin1String("delete") && slot != pic::PictureCount - 1) {
                error = QStringLiteral("only picture 2 can be deleted; 0 and 1 are the camera's own");
                return nullptr;
            }
            const int op = sub == QLatin1String("use") ? 0 : 1;
            return [=](UvcDevice &dev, bool json) { return replace(dev, json, op, slot); };
        }
        error = QStringLiteral("expects list, get SLOT FILE [--thumb], put SLOT FILE [--crop], use SLOT or delete 2");
        return nullptr;
    };
    return c;
}

} // namespace zarvoctl
