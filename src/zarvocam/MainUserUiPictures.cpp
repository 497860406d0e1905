// MainUserUi: the three background pictures of the replacement page — the
// items, their thumbnails and previews fetched from the current camera, and
// adding a picture of the user's (choose, crop, upload).

#include "zarvocam/MainUserUi.h"

#include "ui_MainUserUi.h"

#include "comm/TimeScale.h"
#include "comm/Util.h"
#include "uicomm/MsgInfoUi.h"
#include "uicomm/MsgProgressUi.h"
#include "uvc/UvcDevice.h"
#include "zarvocam/ImageCrop.h"
#include "zarvocam/ImageItem.h"
#include "zarvocam/ImagePreview.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QStandardPaths>

using vexo::pc::TimeScale;
using vexo::pc::UvcDevice;
using vexo::pc::UvcDevicePtr;
using vexo::pc::Util;

namespace {

constexpr int ImageCount = 3;
constexpr int PreviewWaitMs = 100;
constexpr int ProgressWidth = 320;
constexpr int ThumbnailWidth = 64;
constexpr int ThumbnailHeight = 36;

unsigned thumbnailBit(int index)
{
    return UvcDevice::ImageThumb0 << index;
}

unsigned pictureBit(int index)
{
    return UvcDevice::ImagePicture0 << index;
}

unsigned uploadBit(int index)
{
    return UvcDevice::ImageUpload0 << index;
}

QString pictureDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/pic/");
}

QString picturePath(const QString &sn, const char *kind, int index)
{
    return pictureDir() + sn + QLatin1String(kind) + QString::number(index) + QStringLiteral(".jpg");
}

} // namespace

void MainUserUi::createImageItems()
{
    ui->wImageItems->hide();
    for (int i = 0; i < ImageCount; ++i) {
        auto *item = new ImageItem(i, ui->pgSelect);
        connect(item, &ImageItem::imageAction, this, &MainUserUi::onImageAction);
        m_imageItems.append(item);
    }
    m_picturePicker = [](QWidget *parent) {
        return QFileDialog::getOpenFileName(parent, tr("Choose Background Image"),
                                            QDir::homePath() + QStringLiteral("/Pictures"),
                                            tr("Image Files(*.jpg *.jpeg *.png *.bmp)"));
    };
}

void MainUserUi::setPicturePicker(std::function<QString(QWidget *)> picker)
{
    m_picturePicker = std::move(picker);
}

// A new current camera (or none): its picture paths, its thumbnails asked
// for, its finished fetches reported here.
void MainUserUi::picturesFollowCamera(const UvcDevicePtr &dev)
{
    QObject::disconnect(m_imageConnection);
    m_imageConnection = QMetaObject::Connection();
    for (ImageItem *item : qAsConst(m_imageItems)) {
        item->setThumbnail(QString());
        item->setPreview(QString());
        item->setState(ImageItem::StateEmpty);
    }
    if (!dev)
        return;
    // The camera's worker writes the fetched pictures here; a data root
    // made by someone else (or emptied meanwhile) may lack the folder.
    if (!QDir().mkpath(pictureDir()))
        qWarning() << "create pic dir failed";
    const QString sn = dev->getSn();
    for (int i = 0; i < ImageCount; ++i)
        dev->setImagePaths(i, picturePath(sn, "_Icon_", i), picturePath(sn, "_Preview_", i));
    m_imageConnection = connect(dev.get(), &UvcDevice::fileDownloadDone, this, &MainUserUi::onDevImageDownload);
    requestThumbnails(dev);
}

void MainUserUi::requestThumbnails(const UvcDevicePtr &dev)
{
    if (!dev)
        return;
    for (int i = 0; i < ImageCount; ++i)
        dev->requestImageDownload(thumbnailBit(i));
}

// The background switch and the camera's picture index: the named item is
// selected, the others that hold a picture normal; off, they are dimmed.
void MainUserUi::imagesFollowBackground(bool on, int imageIndex)
{
    for (ImageItem *item : qAsConst(m_imageItems)) {
        if (!item->holdsPicture())
            continue;
        if (!on)
            item->setState(ImageItem::StateDisabled);
        else
            item->setState(item->index() == imageIndex ? ImageItem::StateSelected : ImageItem::StateNormal);
    }
}

void MainUserUi::onDevImageDownload(uint image_type, int result)
{
    const UvcDevicePtr dev = currentDev();
    if (!dev || (sender() && sender() != dev.get()))
        return;
    const int state = result < 0 ? ImageItem::StateEmpty : (m_bgOn ? ImageItem::StateNormal : ImageItem::StateDisabled);
    for (int i = 0; i < m_imageItems.size(); ++i) {
        ImageItem *item = m_imageItems.at(i);
        if (image_type == thumbnailBit(i)) {
            // A selected item becomes normal too; the next status read
            // selects the camera's picture again.
            item->setThumbnail(result < 0 ? QString() : dev->imageThumbnailPath(i));
            item->setState(state);
        } else if (image_type == pictureBit(i)) {
            item->setPreview(result < 0 ? QString() : dev->imagePicturePath(i));
        }
    }
}

void MainUserUi::onImageAction(int action)
{
    auto *item = qobject_cast<ImageItem *>(sender());
    const int index = m_imageItems.indexOf(item);
    const UvcDevicePtr dev = currentDev();
    if (!dev || index < 0)
        return;
    switch (action) {
    case ImageItem::ActionPreview: {
        if (!item->holdsPicture())
            return;
        dev->requestImageDownload(pictureBit(index));
        TimeScale::waitWithEvents(PreviewWaitMs);
        auto *preview = new ImagePreview(dev->imagePicturePath(index), this);
        preview->setAttribute(Qt::WA_DeleteOnClose);
        preview->setWindowModality(Qt::ApplicationModal);
        preview->show();
        preview->moveToParentCentre();
        return;
    }
    case ImageItem::ActionDelete: {
        const bool wasSelected = item->state() == ImageItem::StateSelected;
        item->setThumbnail(QString());
        item->setPreview(QString());
        item->setState(ImageItem::StateEmpty);
        if (wasSelected) {
            for (ImageItem *other : qAsConst(m_imageItems)) {
                if (other != item && other->holdsPicture()) {
                    other->setState(ImageItem::StateSelected);
                    break;
                }
            }
        }
        dev->cameraSetImageReplace(1, index);
        break;
    }
    case ImageItem::ActionSelect:
        selectImageItem(item);
        dev->cameraSetImageReplace(0, index);
        break;
    case ImageItem::ActionAdd:
        if (m_bgOn && onSelectPicAndUpload(item))
            selectImageItem(item);
        return;
    default:
        return;
    }
    scheduleStatusRead(dev, UvcDevice::StatusPollIn2s);
    markUserAction();
}

void MainUserUi::selectImageItem(ImageItem *item)
{
    for (ImageItem *other : qAsConst(m_imageItems)) {
        if (other != item && other->state() == ImageItem::StateSelected)
            other->setState(ImageItem::StateNormal);
    }
    item->setState(ImageItem::StateSelected);
}

bool MainUserUi::onSelectPicAndUpload(ImageItem *image_item)
{
    const UvcDevicePtr dev = currentDev();
    const int index = m_imageItems.indexOf(image_item);
    if (!dev || index < 0 || index >= ImageCount)
        return false;
    const QString preview = dev->imagePicturePath(index);
    const QString thumbnail = dev->imageThumbnailPath(index);

    const QString chosen = m_picturePicker ? m_picturePicker(this) : QString();
    qInfo() << "image_path =" << chosen;
    if (chosen.isEmpty())
        return false;

    QPointer<ImageCrop> crop = new ImageCrop(chosen, preview, this);
    crop->setAttribute(Qt::WA_DeleteOnClose);
    if (!crop->isLoaded()) {
        delete crop;
        MsgInfoUi box(this);
        box.setTitle(tr("Image Invalid"));
        box.setText(tr("Please select valid image and try again!"));
        box.exec();
        return false;
    }
    if (crop->exec() != ImageCrop::Accepted)
        return false;

    Util::resizeImage(preview, thumbnail, ThumbnailWidth, ThumbnailHeight);
    image_item->setPreview(preview);
    image_item->setThumbnail(thumbnail);

    // The dialog listens before the upload is asked for: a small picture
    // may be in the camera before the dialog would otherwise exist.
    auto *progress = new MsgProgressUi(this);
    progress->setFixedWidth(ProgressWidth);
    progress->setTitle(tr("Start Image Upload"));
    progress->setInfo(tr("Uploading image, please wait..."));
    const QMetaObject::Connection feed = connect(dev.get(), &UvcDevice::fileUploadProgress, progress, [progress](int result) {
        if (result >= 100)
            progress->onProgressUpdate(100, tr("Upload image successfully!"));
        else if (result >= 0)
            progress->onProgressUpdate(result, QString());
        else
            progress->onProgressUpdate(-3, tr("Image upload failed, please try again!"));
    });
    // The camera may have gone while the crop window was open.
    if (currentDev() != dev || !dev->requestImageUpload(uploadBit(index))) {
        QObject::disconnect(feed);
        delete progress;
        return true;
    }
    progress->exec();
    QObject::disconnect(feed);
    delete progress;
    return true;
}
