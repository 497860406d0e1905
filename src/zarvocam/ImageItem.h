#pragma once

#include <QPixmap>
#include <QPushButton>
#include <QRect>

class QAction;
class QMenu;

// One of the three background pictures on the replacement page: a 64 x 36
// thumbnail button named "0", "1" or "2". Empty it shows the "add" icon;
// with a picture it draws the thumbnail with rounded corners, framed in red
// when selected and dimmed while the virtual background is off. Only item
// "2" holds a picture of the user's and offers "Delete" and "Preview".
class ImageItem : public QPushButton
{
    Q_OBJECT
public:
    enum State { StateEmpty = 0, StateSelected = 1, StateNormal = 2, StateDisabled = 3 };
    enum Action { ActionPreview = 0, ActionDelete = 1, ActionSelect = 2, ActionAdd = 3 };

    explicit ImageItem(int index, QWidget *parent = nullptr);
    ~ImageItem() override;

    int index() const { return m_index; }
    int state() const { return m_state; }
    void setState(int state);
    bool holdsPicture() const { return m_state != StateEmpty; }
    bool isDeletable() const { return m_deletable; }

    // The thumbnail file (the pixmap is empty when it does not exist).
    void setThumbnail(const QString &path);
    QString thumbnailPath() const { return m_thumbnailPath; }
    bool hasThumbnail() const { return !m_thumbnail.isNull(); }
    void setPreview(const QString &path) { m_previewPath = path; }
    QString previewPath() const { return m_previewPath; }

    QMenu *menu() const { return m_menu; }
    QRect baseRect() const { return m_baseRect; }

signals:
    void imageAction(int action);

public slots:
    void actionPreview();
    void actionDelete();
    void onImageBtnClicked();
    void showMenu(QPoint point);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void retranslate();

    const int m_index;
    int m_state = StateEmpty;
    QPixmap m_thumbnail;
    QString m_thumbnailPath;
    QString m_previewPath;
    QRect m_baseRect;
    bool m_deletable;
    QMenu *m_menu;
    QAction *m_actionDelete;
    QAction *m_actionPreview;
};
