// Message box, progress window and the shared frameless/slider widgets.

#include "uicomm/MsgInfoUi.h"
#include "uicomm/MsgProgressUi.h"
#include "uicomm/OWidget.h"
#include "uicomm/RSlider.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>


namespace {

QPushButton *button(QWidget *w, const char *name)
{
    return w->findChild<QPushButton *>(QLatin1String(name));
}

QLabel *label(QWidget *w, const char *name)
{
    return w->findChild<QLabel *>(QLatin1String(name));
}

void sendMouse(QWidget *w, QEvent::Type type, Qt::MouseButton button, const QPoint &globalPos)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(w->mapFromGlobal(globalPos)), QPointF(globalPos),
                      type == QEvent::MouseMove ? Qt::NoButton : button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// The colour at the end of the progress text's style sheet ("white;", ...).
QString infoColour(MsgProgressUi *w)
{
    return label(w, "lbInfo")->styleSheet().section(QLatin1Char(':'), -1);
}

} // namespace

class TestMsgDialogs : public QObject
{
    Q_OBJECT
private slots:
    void msgInfoButtonsAndContent();
    void msgInfoResultCodes();
    void msgInfoCentresOnParent();
    void frameDragOnlyWithLeftButton();
    void sliderIgnoresDoubleClick();

    void progressDisplayRule();
    void progressOkOnlyAfterFinalState_data();
    void progressOkOnlyAfterFinalState();
    void progressResult();
    void progressInfoHeightFollowsText();
};

void TestMsgDialogs::msgInfoButtonsAndContent()
{
    MsgInfoUi box;
    QPushButton *yes = button(&box, "pbYes");
    QPushButton *no = button(&box, "pbNo");
    QVERIFY(!yes->isHidden() && no->isHidden() && !no->isEnabled());
    // Masks name both buttons at once.
    box.showButtons(MsgInfoUi::Yes | MsgInfoUi::No);
    QVERIFY(!no->isHidden() && no->isEnabled());
    box.hideButtons(MsgInfoUi::Yes);
    QVERIFY(yes->isHidden() && !yes->isEnabled() && no->isEnabled());

    // Plain content is not selectable; rich text is, with clickable links.
    QLabel *content = label(&box, "lbContent");
    box.setText(QStringLiteral("plain"));
    QVERIFY(!content->isEnabled());
    box.setRichText(QStringLiteral("<a href=\"https://example.com\">link</a>"));
    QVERIFY(content->isEnabled() && content->openExternalLinks());

    // A long text widens the box up to its maximum, never beyond.
    box.setText(QString(400, QLatin1Char('w')));
    QVERIFY(box.width() <= 600 && box.width() >= 300);
}

void TestMsgDialogs::msgInfoResultCodes()
{
    MsgInfoUi box;
    box.showButtons(MsgInfoUi::No);
    QTimer::singleShot(0, [&box] { box.close(); });
    QCOMPARE(box.exec(), -1);
    QTimer::singleShot(0, [&box] { QTest::mouseClick(button(&box, "pbYes"), Qt::LeftButton); });
    QCOMPARE(box.exec(), 0x4000);
    QVERIFY(!box.isVisible());
    QTimer::singleShot(0, [&box] { QTest::mouseClick(button(&box, "pbNo"), Qt::LeftButton); });
    QCOMPARE(box.exec(), 0x10000);
    // Each exec starts again from -1.
    QTimer::singleShot(0, [&box] { box.close(); });
    QCOMPARE(box.exec(), -1);

    // A box deleted while it waits must not leave its caller hanging.
    auto *doomed = new MsgInfoUi;
    QPointer<MsgInfoUi> guard(doomed);
    QTimer::singleShot(0, [doomed] { doomed->deleteLater(); });
    QCOMPARE(doomed->exec(), -1);
    QTRY_VERIFY(guard.isNull());
}

void TestMsgDialogs::msgInfoCentresOnParent()
{
    QWidget parent;
    parent.setGeometry(100, 120, 800, 600);
    parent.show();
    MsgInfoUi box(&parent);
    box.setText(QStringLiteral("Centred"));
    QPoint centre;
    QTimer::singleShot(0, [&] {
        centre = box.frameGeometry().center();
        box.close();
    });
    box.exec();
    const QPoint offset = centre - parent.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 4, qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
}

void TestMsgDialogs::frameDragOnlyWithLeftButton()
{
    OWidget w(nullptr, Qt::FramelessWindowHint);
    w.setGeometry(200, 200, 300, 200);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QPoint start = w.pos();
    const QPoint grab = w.mapToGlobal(QPoint(50, 50));

    sendMouse(&w, QEvent::MouseButtonPress, Qt::RightButton, grab);
    sendMouse(&w, QEvent::MouseMove, Qt::RightButton, grab + QPoint(40, 30));
    sendMouse(&w, QEvent::MouseButtonRelease, Qt::RightButton, grab + QPoint(40, 30));
    QCOMPARE(w.pos(), start);

    sendMouse(&w, QEvent::MouseButtonPress, Qt::LeftButton, grab);
    sendMouse(&w, QEvent::MouseMove, Qt::LeftButton, grab + QPoint(40, 30));
    QCOMPARE(w.pos(), start + QPoint(40, 30));
    sendMouse(&w, QEvent::MouseButtonRelease, Qt::LeftButton, grab + QPoint(40, 30));
}

void TestMsgDialogs::sliderIgnoresDoubleClick()
{
    // The plain slider jumps on a double click far from its handle; ours
    // must not.
    auto doubleClick = [](QSlider *slider) {
        slider->setRange(0, 100);
        slider->setValue(10);
        slider->resize(300, 20);
        slider->show();
        const QPoint far(290, 10);
        QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(far), QPointF(slider->mapToGlobal(far)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &event);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(far), QPointF(slider->mapToGlobal(far)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &release);
        return slider->value();
    };
    QSlider plain(Qt::Horizontal);
    QVERIFY(doubleClick(&plain) != 10);
    RSlider ours(Qt::Horizontal);
    QCOMPARE(doubleClick(&ours), 10);
}

void TestMsgDialogs::progressDisplayRule()
{
    MsgProgressUi w;
    QLabel *info = label(&w, "lbInfo");
    auto *bar = w.findChild<QProgressBar *>(QStringLiteral("progressBar"));
    w.onProgressUpdate(37, QStringLiteral("Downloading"));
    QCOMPARE(bar->value(), 37);
    QCOMPARE(label(&w, "lbPercent")->text(), QStringLiteral("37%"));
    QCOMPARE(infoColour(&w), QStringLiteral("white;"));

    // A warning stays visible under later progress without text.
    w.onProgressUpdate(-2, QStringLiteral("Network is slow"));
    w.onProgressUpdate(5, QString());
    QCOMPARE(bar->value(), 5);
    QCOMPARE(info->text(), QStringLiteral("Network is slow"));
    QCOMPARE(infoColour(&w), QStringLiteral("yellow;"));
    QVERIFY(!w.failed());
    w.onProgressUpdate(100, QStringLiteral("Done"));
    QCOMPARE(infoColour(&w), QStringLiteral("green;"));

    // After a failure the bar still moves but later texts are held back,
    // until a new run starts at 0.
    w.onProgressUpdate(-3, QStringLiteral("Verification failed"));
    QVERIFY(w.failed());
    w.onProgressUpdate(50, QStringLiteral("Step 3"));
    QCOMPARE(bar->value(), 50);
    QCOMPARE(info->text(), QStringLiteral("Verification failed"));
    w.onProgressUpdate(0, QStringLiteral("Retrying"));
    QVERIFY(!w.failed());
    QCOMPARE(info->text(), QStringLiteral("Retrying"));
    w.onProgressUpdate(-1, QStringLiteral("Broken"));
    QCOMPARE(infoColour(&w), QStringLiteral("red;"));
    QVERIFY(w.failed());
}

void TestMsgDialogs::progressOkOnlyAfterFinalState_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("okEnabled");
    QTest::addColumn<bool>("failed");
    QTest::newRow("progress") << 50 << false << false;
    QTest::newRow("success") << 100 << true << false;
    QTest::newRow("failure") << -3 << true << true;
    QTest::newRow("error") << -1 << true << true;
    QTest::newRow("unknown") << 150 << true << false;
}

void TestMsgDialogs::progressOkOnlyAfterFinalState()
{
    QFETCH(int, value);
    QFETCH(bool, okEnabled);
    QFETCH(bool, failed);
    MsgProgressUi w;
    QPushButton *ok = button(&w, "pbOk");
    QVERIFY(!ok->isEnabled());
    if (value > 100 || value < -3)
        QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Unknown value = %1").arg(value)));
    w.onProgressUpdate(value, QStringLiteral("text"));
    QCOMPARE(ok->isEnabled(), okEnabled);
    QCOMPARE(w.failed(), failed);
}

void TestMsgDialogs::progressResult()
{
    {
        MsgProgressUi w;
        w.onProgressUpdate(100, QStringLiteral("Done"));
        QTimer::singleShot(0, [&w] {
            // Neither Escape nor a close request ends it; only OK does.
            QTest::keyClick(&w, Qt::Key_Escape);
            w.close();
            QVERIFY(w.isVisible());
            QTest::mouseClick(button(&w, "pbOk"), Qt::LeftButton);
        });
        QCOMPARE(w.exec(), int(MsgProgressUi::Ok));
    }
    {
        // A failure, then a restart that succeeds while the window runs:
        // the last final state decides.
        MsgProgressUi w;
        w.onProgressUpdate(-1, QStringLiteral("Failed"));
        QTimer::singleShot(0, [&w] {
            w.onProgressUpdate(0, QStringLiteral("Again"));
            w.onProgressUpdate(100, QStringLiteral("Done"));
            QTest::mouseClick(button(&w, "pbOk"), Qt::LeftButton);
        });
        QCOMPARE(w.exec(), int(MsgProgressUi::Ok));
        w.onProgressUpdate(-3, QStringLiteral("Failed"));
        QTimer::singleShot(0, [&w] { QTest::mouseClick(button(&w, "pbOk"), Qt::LeftButton); });
        QCOMPARE(w.exec(), int(MsgProgressUi::Failed));
    }
    // Deleted while its caller waits (its parent window went away).
    auto *w = new MsgProgressUi;
    QPointer<MsgProgressUi> guard(w);
    QTimer::singleShot(0, [w] { w->deleteLater(); });
    QCOMPARE(w->exec(), -1);
    QTRY_VERIFY(guard.isNull());
}

void TestMsgDialogs::progressInfoHeightFollowsText()
{
    MsgProgressUi w;
    w.show();
    QLabel *info = label(&w, "lbInfo");
    w.setInfo(QStringLiteral("One line"));
    const int lineHeight = info->fontMetrics().height();
    const int oneLine = info->height();
    const int shortWindow = w.height();

    w.onProgressUpdate(10, QStringLiteral("first\nsecond\nthird"));
    QCOMPARE(info->height(), oneLine + 2 * lineHeight);
    QVERIFY(w.height() > shortWindow);
}

QTEST_MAIN(TestMsgDialogs)
#include "tst_msgdialogs.moc"
