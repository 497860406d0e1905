#pragma once

#include <QList>
#include <QWidget>

#include <array>

class QPushButton;

namespace Ui {
class DevSleep;
}

// The page laid over the whole main window while the current camera sleeps:
// "Device is sleeping", a "Resume" button and a row of up to four camera
// buttons to switch to another camera.
//
// Entries follow the main window's device buttons by index. Resume is
// honoured only ResumeHoldOffMs after the camera was put to sleep, because
// a camera that is woken while still falling asleep ignores the wake-up.
class DevSleep : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MaxRowButtons = 4;
    static constexpr int ResumeHoldOffMs = 3000;

    explicit DevSleep(QWidget *parent = nullptr);
    ~DevSleep() override;

    // Entries: one per camera, in the main window's order.
    void addDev(const QString &name);
    // Names entry index; index == devCount() appends.
    void setDevName(int index, const QString &name);
    void removeDev(int index);
    int devCount() const { return m_names.size(); }
    QString devName(int index) const { return m_names.value(index); }

    void setCurrentIndex(int index);
    int currentIndex() const { return m_currentIndex; }

    // When the camera at index (0..3) was put to sleep, ms since the epoch.
    void setSleepTime(int index, qint64 msecsSinceEpoch);
    qint64 sleepTime(int index) const;

    // The row's buttons (for the main window's tests and looks).
    QList<QPushButton *> rowButtons() const { return m_buttons; }

signals:
    void devChanged(int index);
    void devResumed();

public slots:
    void on_pbDevResume_clicked();
    void onDevBtnClicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    void rebuildRow();
    void restyleRow();

    Ui::DevSleep *ui;
    QStringList m_names;
    QList<QPushButton *> m_buttons;
    int m_currentIndex = 0;
    std::array<qint64, MaxRowButtons> m_sleepTimes{};
};
