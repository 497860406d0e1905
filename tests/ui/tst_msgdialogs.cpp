// Message box, progress window and the shared frameless/slider widgets.

#include "uicomm/MsgInfoUi.h"
#include "uicomm/MsgProgressUi.h"
#include "uicomm/OWidget.h"
#include "uicomm/RSlider.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <functional>

namespace {

// Runs fn once the window's own event loop is running.
void whenRunning(const std::function<void()> &fn, int delayMs = 0)
{
    QTimer::singleShot(delayMs, fn);
}

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

} // namespace

class TestMsgDialogs : public QObject
{
    Q_OBJECT
private slots:
    void msgInfoDefaultsAndButtonMasks();
    void msgInfoResultCodes();
    void msgInfoCentresOnParent();
    void frameDragOnlyWithLeftButton();
    void sliderIgnoresDoubleClick();

    void progressDisplayRule();
    void progressFailureHidesLaterTextUntilRestart();
    void progressOkOnlyAfterFinalState_data();
    void progressOkOnlyAfterFinalState();
    void progressResultAndEscape();
    void progressInfoHeightFollowsText();

    void translationsAreStaged();
};

void TestMsgDialogs::msgInfoDefaultsAndButtonMasks()
{
    MsgInfoUi box;
    QPushButton *yes = button(&box, "pbYes");
    QPushButton *no = button(&box, "pbNo");
    QVERIFY(yes && no);
    QVERIFY(!yes->isHidden() && yes->isEnabled());
    QVERIFY(no->isHidden() && !no->isEnabled());
    QCOMPARE(box.windowTitle(), QStringLiteral("Message"));
    QCOMPARE(box.result(), -1);

    box.showButtons(MsgInfoUi::Yes | MsgInfoUi::No);
    QVERIFY(!no->isHidden() && no->isEnabled());
    box.enableButtons(MsgInfoUi::No, false);
    QVERIFY(!no->isEnabled() && yes->isEnabled());
    box.setButtonText(MsgInfoUi::Yes | MsgInfoUi::No, QStringLiteral("Same"));
    QCOMPARE(yes->text(), QStringLiteral("Same"));
    QCOMPARE(no->text(), QStringLiteral("Same"));
    box.hideButtons(MsgInfoUi::Yes);
    QVERIFY(yes->isHidden() && !yes->isEnabled());

    // Plain content is not selectable; rich text is, with clickable links.
    QLabel *content = label(&box, "lbContent");
    box.setText(QStringLiteral("plain"));
    QVERIFY(!content->isEnabled());
    box.setRichText(QStringLiteral("<a href=\"https://example.com\">link</a>"));
    QVERIFY(content->isEnabled());
    QVERIFY(content->openExternalLinks());
    QVERIFY(content->textInteractionFlags() & Qt::LinksAccessibleByMouse);

    // A long text widens the box up to its maximum, never beyond.
    box.setText(QString(400, QLatin1Char('w')));
    QVERIFY(box.width() <= 600);
    QVERIFY(box.width() >= 300);
}

void TestMsgDialogs::msgInfoResultCodes()
{
    {
        MsgInfoUi box;
        box.setText(QStringLiteral("Closed without an answer"));
        whenRunning([&box] { box.close(); });
        QCOMPARE(box.exec(), -1);
    }
    {
        MsgInfoUi box;
        box.setText(QStringLiteral("Only yes"));
        whenRunning([&box] { QTest::mouseClick(button(&box, "pbYes"), Qt::LeftButton); });
        QCOMPARE(box.exec(), 0x4000);
        QVERIFY(!box.isVisible());
    }
    {
        MsgInfoUi box;
        box.showButtons(MsgInfoUi::No);
        whenRunning([&box] { QTest::mouseClick(button(&box, "pbNo"), Qt::LeftButton); });
        QCOMPARE(box.exec(), 0x10000);
    }
    {
        // A second exec starts again from -1.
        MsgInfoUi box;
        whenRunning([&box] { QTest::mouseClick(button(&box, "pbYes"), Qt::LeftButton); });
        QCOMPARE(box.exec(), int(MsgInfoUi::Yes));
        whenRunning([&box] { box.close(); });
        QCOMPARE(box.exec(), -1);
    }
    {
        // A box deleted while it waits must not leave its caller hanging.
        auto *box = new MsgInfoUi;
        whenRunning([box] { box->deleteLater(); });
        QPointer<MsgInfoUi> guard(box);
        QCOMPARE(box->exec(), -1);
        QTRY_VERIFY(guard.isNull());
    }
}

void TestMsgDialogs::msgInfoCentresOnParent()
{
    QWidget parent;
    parent.setGeometry(100, 120, 800, 600);
    parent.show();
    MsgInfoUi box(&parent);
    box.setText(QStringLiteral("Centred"));
    QPoint centre;
    whenRunning([&] {
        centre = box.frameGeometry().center();
        box.close();
    });
    box.exec();
    const QPoint expected = parent.frameGeometry().center();
    QVERIFY2(qAbs(centre.x() - expected.x()) <= 2 && qAbs(centre.y() - expected.y()) <= 2,
             qPrintable(QStringLiteral("%1,%2 vs %3,%4").arg(centre.x()).arg(centre.y())
                            .arg(expected.x()).arg(expected.y())));
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
    sendMouse(&w, QEvent::MouseMove, Qt::LeftButton, grab + QPoint(-10, 5));
    QCOMPARE(w.pos(), start + QPoint(-10, 5));
    sendMouse(&w, QEvent::MouseButtonRelease, Qt::LeftButton, grab + QPoint(-10, 5));
    // Moves after the release do not drag any more.
    sendMouse(&w, QEvent::MouseMove, Qt::NoButton, grab + QPoint(90, 90));
    QCOMPARE(w.pos(), start + QPoint(-10, 5));
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
    QLabel *percent = label(&w, "lbPercent");
    auto *bar = w.findChild<QProgressBar *>(QStringLiteral("progressBar"));
    QVERIFY(info && percent && bar);
    QCOMPARE(label(&w, "lbTitle")->text(), QStringLiteral("Progress info"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Progress"));
    QCOMPARE(percent->text(), QStringLiteral("0%"));
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(w.windowModality(), Qt::ApplicationModal);

    w.onProgressUpdate(37, QStringLiteral("Downloading"));
    QCOMPARE(bar->value(), 37);
    QCOMPARE(percent->text(), QStringLiteral("37%"));
    QCOMPARE(info->text(), QStringLiteral("Downloading"));
    QVERIFY(info->styleSheet().endsWith(QLatin1String("color:white;")));
    QVERIFY(info->styleSheet().startsWith(QLatin1String("padding-left:20px;\npadding-right:20px;\n")));

    // A warning stays visible under later progress without text.
    w.onProgressUpdate(-2, QStringLiteral("Network is slow"));
    QVERIFY(info->styleSheet().endsWith(QLatin1String("color:yellow;")));
    w.onProgressUpdate(5, QString());
    QCOMPARE(bar->value(), 5);
    QCOMPARE(info->text(), QStringLiteral("Network is slow"));
    QVERIFY(info->styleSheet().endsWith(QLatin1String("color:yellow;")));
    QVERIFY(!w.failed());

    w.onProgressUpdate(100, QStringLiteral("Done"));
    QCOMPARE(percent->text(), QStringLiteral("100%"));
    QVERIFY(info->styleSheet().endsWith(QLatin1String("color:green;")));

    w.onProgressUpdate(-1, QStringLiteral("Broken"));
    QVERIFY(info->styleSheet().endsWith(QLatin1String("color:red;")));
    QVERIFY(w.failed());
}

void TestMsgDialogs::progressFailureHidesLaterTextUntilRestart()
{
    MsgProgressUi w;
    QLabel *info = label(&w, "lbInfo");
    auto *bar = w.findChild<QProgressBar *>(QStringLiteral("progressBar"));
    w.onProgressUpdate(40, QStringLiteral("Step 2"));
    w.onProgressUpdate(-3, QStringLiteral("Verification failed"));
    QVERIFY(w.failed());
    w.onProgressUpdate(50, QStringLiteral("Step 3"));
    QCOMPARE(bar->value(), 50); // the bar still moves
    QCOMPARE(info->text(), QStringLiteral("Verification failed"));
    QVERIFY(info->styleSheet().endsWith(QLatin1String("color:yellow;")));
    // A new run starting at 0 clears the failure and shows texts again.
    w.onProgressUpdate(0, QStringLiteral("Retrying"));
    QVERIFY(!w.failed());
    QCOMPARE(info->text(), QStringLiteral("Retrying"));
    QVERIFY(info->styleSheet().endsWith(QLatin1String("color:white;")));
}

void TestMsgDialogs::progressOkOnlyAfterFinalState_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("okEnabled");
    QTest::addColumn<bool>("failed");
    QTest::newRow("progress") << 50 << false << false;
    QTest::newRow("warning") << -2 << false << false;
    QTest::newRow("success") << 100 << true << false;
    QTest::newRow("failure") << -3 << true << true;
    QTest::newRow("error") << -1 << true << true;
    QTest::newRow("unknown") << 150 << true << false;
    QTest::newRow("unknown negative") << -7 << true << false;
}

void TestMsgDialogs::progressOkOnlyAfterFinalState()
{
    QFETCH(int, value);
    QFETCH(bool, okEnabled);
    QFETCH(bool, failed);
    MsgProgressUi w;
    QPushButton *ok = button(&w, "pbOk");
    QVERIFY(ok && !ok->isHidden() && !ok->isEnabled());
    if (value > 100 || value < -3)
        QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Unknown value = %1").arg(value)));
    w.onProgressUpdate(value, QStringLiteral("text"));
    QCOMPARE(ok->isEnabled(), okEnabled);
    QCOMPARE(w.failed(), failed);
}

void TestMsgDialogs::progressResultAndEscape()
{
    {
        MsgProgressUi w;
        w.onProgressUpdate(100, QStringLiteral("Done"));
        whenRunning([&w] {
            // Neither Escape nor a close request ends it; only OK does.
            QTest::keyClick(&w, Qt::Key_Escape);
            w.close();
            QVERIFY(w.isVisible());
            QTest::mouseClick(button(&w, "pbOk"), Qt::LeftButton);
        });
        QCOMPARE(w.exec(), 16384);
        QVERIFY(!w.isVisible());
    }
    {
        MsgProgressUi w;
        w.onProgressUpdate(-1, QStringLiteral("Failed"));
        whenRunning([&w] { QTest::mouseClick(button(&w, "pbOk"), Qt::LeftButton); });
        QCOMPARE(w.exec(), 0x10000);
    }
    {
        // Progress arriving while the window runs, then a failure, then a
        // restart that succeeds: the last final state decides.
        MsgProgressUi w;
        whenRunning([&w] {
            w.onProgressUpdate(-3, QStringLiteral("Failed"));
            w.onProgressUpdate(0, QStringLiteral("Again"));
            w.onProgressUpdate(100, QStringLiteral("Done"));
            QTest::mouseClick(button(&w, "pbOk"), Qt::LeftButton);
        });
        QCOMPARE(w.exec(), int(MsgProgressUi::Ok));
    }
    {
        // Deleted while its caller waits (its parent window went away).
        auto *w = new MsgProgressUi;
        QPointer<MsgProgressUi> guard(w);
        whenRunning([w] { w->deleteLater(); });
        QCOMPARE(w->exec(), -1);
        QTRY_VERIFY(guard.isNull());
    }
}

void TestMsgDialogs::progressInfoHeightFollowsText()
{
    MsgProgressUi w;
    w.show();
    QLabel *info = label(&w, "lbInfo");
    w.setInfo(QStringLiteral("One line"));
    const int lineHeight = info->fontMetrics().height();
    QCOMPARE(info->height(), lineHeight + 24);
    const int shortWindow = w.height();

    w.onProgressUpdate(10, QStringLiteral("first\nsecond\nthird"));
    QCOMPARE(info->height(), 3 * lineHeight + 24);
    QVERIFY(w.height() > shortWindow);

    // A paragraph wider than the label wraps onto more lines.
    QString words;
    for (int i = 0; i < 60; ++i)
        words += QStringLiteral("camera ");
    w.onProgressUpdate(20, words.trimmed());
    QVERIFY(info->height() >= 3 * lineHeight + 24);
    QCOMPARE((info->height() - 24) % lineHeight, 0);
}

// The build puts one .qm per language where the program loads them from, and
// the forms' texts are found under their class names.
void TestMsgDialogs::translationsAreStaged()
{
    const QString stage = qEnvironmentVariable("ZARVO_STAGE_DIR");
    if (stage.isEmpty())
        QSKIP("ZARVO_STAGE_DIR is not set (run through ctest)");
    const QString language = stage + QStringLiteral("/language/");
    for (const char *code : {"en_US", "zh_CN", "zh_HK", "jp_JP", "ge_GE", "es_ES"}) {
        QVERIFY2(QFile::exists(language + QStringLiteral("ZarvoCam_") + QLatin1String(code) + QStringLiteral(".qm")),
                 code);
    }
    QTranslator translator;
    QVERIFY(translator.load(language + QStringLiteral("ZarvoCam_ge_GE.qm")));
    QCoreApplication::installTranslator(&translator);
    {
        MsgInfoUi box;
        QCOMPARE(button(&box, "pbYes")->text(), QStringLiteral("Ja"));
        MsgProgressUi progress;
        QCOMPARE(label(&progress, "lbTitle")->text(), QStringLiteral("Fortschrittsinformationen"));
    }
    QCoreApplication::removeTranslator(&translator);
}

QTEST_MAIN(TestMsgDialogs)
#include "tst_msgdialogs.moc"
