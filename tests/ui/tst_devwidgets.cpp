// Device buttons (click, name limit, rename) and the sleep page.

#include "comm/GlobalParams.h"
#include "uicomm/DevButton.h"
#include "uicomm/DevSleep.h"

#include <QAction>
#include <QDateTime>
#include <QInputDialog>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using vexo::pc::GlobalParams;

namespace {

// Answers the rename dialog once it is up: types text, then OK or Cancel.
// Returns what the field showed after typing.
void answerRename(const QString &typed, bool accept, QString *shown)
{
    QTimer::singleShot(0, [=] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(10, [=] { answerRename(typed, accept, shown); });
            return;
        }
        dialog->setTextValue(typed);
        if (shown)
            *shown = dialog->textValue();
        dialog->done(accept ? QDialog::Accepted : QDialog::Rejected);
    });
}

} // namespace

class TestDevWidgets : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void clickAsksForSelectionUnlessSelected();
    void nameLimit_data();
    void nameLimit();
    void renameThroughDialog();
    void contextMenuOnlyForCameras();

    void sleepPageRow();
    void resumeOnlyAfterHoldOff();
    void removingEntriesKeepsSleepTimes();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<GlobalParams> m_params;
};

void TestDevWidgets::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_params.reset(new GlobalParams(m_dir.filePath(QStringLiteral("kavora_win_x64.ini"))));
}

void TestDevWidgets::clickAsksForSelectionUnlessSelected()
{
    // Restyled at once; asks to be selected unless it is already.
    DevButton placeholder(0);
    QSignalSpy placeholderSpy(&placeholder, &DevButton::devBtnSelected);
    QTest::mouseClick(&placeholder, Qt::LeftButton);
    QCOMPARE(placeholderSpy.count(), 1);
    QCOMPARE(placeholder.look(), DevButton::LookUnoccupied);

    DevButton camera(1);
    camera.setOccupied(true);
    QSignalSpy spy(&camera, &DevButton::devBtnSelected);
    QTest::mouseClick(&camera, Qt::LeftButton);
    QCOMPARE(camera.look(), DevButton::LookCurrent);
    QCOMPARE(spy.count(), 1);
    camera.setSelected(true);
    QTest::mouseClick(&camera, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
}

void TestDevWidgets::nameLimit_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("short") << QStringLiteral("Cam");
    QTest::newRow("four wide bytes") << QStringLiteral("WWWW");
    QTest::newRow("narrow") << QStringLiteral("iiiiiiii");
    QTest::newRow("long latin") << QStringLiteral("Conference room camera");
    QTest::newRow("cjk") << QStringLiteral("会议室摄像头");
    QTest::newRow("emoji") << QStringLiteral("Cam\U0001F600\U0001F600\U0001F600\U0001F600");
}

void TestDevWidgets::nameLimit()
{
    QFETCH(QString, name);
    QFont font;
    font.setPixelSize(13);
    const QFontMetrics metrics(font);
    const QString limited = DevButton::limitName(name, metrics);
    auto fits = [&metrics](const QString &s) {
        return metrics.horizontalAdvance(s) <= DevButton::MaxNameWidth
            || s.toLocal8Bit().size() <= DevButton::MaxNameBytes;
    };
    QVERIFY(name.startsWith(limited));
    QVERIFY(fits(limited));
    // Shortened no further than needed.
    if (limited != name) {
        QString oneMore = name.left(limited.size() + 1);
        if (oneMore.at(oneMore.size() - 1).isHighSurrogate())
            oneMore = name.left(limited.size() + 2);
        QVERIFY(!fits(oneMore));
    }
    // No broken surrogate pair at the end.
    QVERIFY(limited.isEmpty() || !limited.at(limited.size() - 1).isHighSurrogate());
}

void TestDevWidgets::renameThroughDialog()
{
    DevButton button(0);
    button.setGlobalParams(m_params.get());
    button.setOccupied(true);
    button.setText(QStringLiteral("1"));
    GlobalParams::DevInfo info;
    info.devName = QStringLiteral("1");
    info.devSn = QStringLiteral("SNRENAME1");
    button.setDevInfo(info);
    QSignalSpy renamed(&button, &DevButton::devBtnNameChanged);

    // Empty text and Cancel change nothing.
    answerRename(QString(), true, nullptr);
    button.actionRename();
    answerRename(QStringLiteral("New"), false, nullptr);
    button.actionRename();
    QCOMPARE(button.text(), QStringLiteral("1"));
    QCOMPARE(renamed.count(), 0);

    // The field is cut down while typing; the cut name is what is kept.
    QString shown;
    answerRename(QStringLiteral("Conference room camera"), true, &shown);
    button.actionRename();
    QVERIFY(!shown.isEmpty() && shown.size() < 10);
    QVERIFY(QStringLiteral("Conference room camera").startsWith(shown));
    QCOMPARE(button.text(), shown);
    QCOMPARE(renamed.count(), 1);
    QCOMPARE(m_params->getDevInfo(QStringLiteral("SNRENAME1")).devName, shown);
}

void TestDevWidgets::contextMenuOnlyForCameras()
{
    DevButton button(0);
    button.show();
    auto *menu = button.findChild<QMenu *>();
    QCOMPARE(menu->findChild<QAction *>(QStringLiteral("ActionRename"))->text(), QStringLiteral("Rename"));
    button.showMenu(QPoint(10, 10));
    QVERIFY(!menu->isVisible());
    button.setOccupied(true);
    button.showMenu(QPoint(10, 10));
    QVERIFY(menu->isVisible());
    menu->hide();
}

void TestDevWidgets::sleepPageRow()
{
    DevSleep page;
    page.resize(800, 600);
    for (int n = 1; n <= 5; ++n) {
        page.addDev(QString::number(n));
        const QList<QPushButton *> row = page.rowButtons();
        QCOMPARE(row.size(), qMin(n, int(DevSleep::MaxRowButtons)));
        QCOMPARE(row.first()->geometry().left() + row.last()->geometry().right() + 1, page.width());
    }
    // Another camera's button switches to it; the current one does nothing.
    page.show();
    QSignalSpy changed(&page, &DevSleep::devChanged);
    const QList<QPushButton *> row = page.rowButtons();
    QTest::mouseClick(row.at(0), Qt::LeftButton);
    QCOMPARE(changed.count(), 0);
    QTest::mouseClick(row.at(2), Qt::LeftButton);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 2);
    QCOMPARE(page.currentIndex(), 2);
    QCOMPARE(row.at(2)->property("look").toString(), QStringLiteral("current"));
    QCOMPARE(row.at(0)->property("look").toString(), QStringLiteral("other"));
}

void TestDevWidgets::resumeOnlyAfterHoldOff()
{
    DevSleep page;
    page.addDev(QStringLiteral("1"));
    page.addDev(QStringLiteral("2"));
    page.setCurrentIndex(1);
    QSignalSpy resumed(&page, &DevSleep::devResumed);
    page.show();
    auto *resume = page.findChild<QPushButton *>(QStringLiteral("pbDevResume"));
    // Too early for this camera; another camera's sleep time does not matter.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    page.setSleepTime(1, now - 2000);
    page.setSleepTime(0, now - 10000);
    QTest::mouseClick(resume, Qt::LeftButton);
    QCOMPARE(resumed.count(), 0);
    QVERIFY(page.isVisible());
    page.setSleepTime(1, now - DevSleep::ResumeHoldOffMs - 1);
    QTest::mouseClick(resume, Qt::LeftButton);
    QCOMPARE(resumed.count(), 1);
    QVERIFY(!page.isVisible());
}

void TestDevWidgets::removingEntriesKeepsSleepTimes()
{
    DevSleep page;
    for (int i = 0; i < 5; ++i) {
        page.addDev(QString::number(i + 1));
        page.setSleepTime(i, 1000 + i);
    }
    page.setCurrentIndex(2);
    page.removeDev(0);
    QCOMPARE(page.devCount(), 4);
    QCOMPARE(page.devName(0), QStringLiteral("2"));
    QCOMPARE(page.sleepTime(0), 1001);
    QCOMPARE(page.sleepTime(2), 1003);
    QCOMPARE(page.sleepTime(3), 0); // the fifth had none
    QCOMPARE(page.currentIndex(), 1); // still the same camera
    QCOMPARE(page.rowButtons().at(3)->text(), QStringLiteral("5"));

    page.removeDev(1); // the current one
    QCOMPARE(page.currentIndex(), 0);
}

QTEST_MAIN(TestDevWidgets)
#include "tst_devwidgets.moc"
