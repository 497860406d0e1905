#include "main/KAVORAApp.h"

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    KAVORAApp app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KAVORA_ZarvoCam"));
    app.showMainWindow();
    return app.exec();
}
