#include "main/KAVORAApp.h"

#include "comm/GlobalParams.h"
#include "zarvocam/MainUserUi.h"

#include <QDebug>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>
#include <QThreadPool>

namespace {

// Adds one font file of the installation root's "/font/" folder; its first
// family, or an empty string when the file does not load.
QString loadFontFamily(const QString &fileName)
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/../font/") + fileName;
    const int id = QFontDatabase::addApplicationFont(path);
    const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        qWarning() << "Load font failed:" << path;
        return QString();
    }
    return families.first();
}

} // namespace

KAVORAApp::KAVORAApp(int &argc, char **argv)
    : QApplication(argc, argv, QT_VERSION)
{
}

KAVORAApp::~KAVORAApp()
{
    m_mainWindow.clear();
}

void KAVORAApp::loadFonts()
{
    // Latin text takes the Latin font; CJK text falls back to the second.
    QString fontFile = vexo::pc::GlobalParams::instance()->getFont();
    if (fontFile.isEmpty())
        fontFile = QStringLiteral("SourceHanSansCN-Bold.otf");
    const QString cjk = loadFontFamily(fontFile);
    const QString latin = loadFontFamily(QStringLiteral("Montserrat-Regular.ttf"));
    QStringList families;
    if (!latin.isEmpty())
        families << latin;
    if (!cjk.isEmpty())
        families << cjk;
    if (families.isEmpty())
        return;
    QFont font = QApplication::font();
    font.setFamily(families.join(QStringLiteral(", ")));
    font.setStyleStrategy(QFont::PreferAntialias);
    QApplication::setFont(font);
    qInfo() << "Application font:" << font.family();
}

void KAVORAApp::showMainWindow()
{
    loadFonts();
    QThreadPool::globalInstance()->setExpiryTimeout(300000);
    QThreadPool::globalInstance()->setMaxThreadCount(3);

    m_mainWindow = new MainUserUi();
    m_mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_mainWindow.data(), &QObject::destroyed, this, &QCoreApplication::quit);
    installEventFilter(m_mainWindow.data());
    m_mainWindow->show();
    m_mainWindow->adjustAfterShow();
}

QWidget *KAVORAApp::mainWindow() const
{
    return m_mainWindow.data();
}
