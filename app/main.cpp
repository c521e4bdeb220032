#include "app/mainform.h"

#include <QApplication>
#include <QIcon>
#include <QStyleFactory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tourwise"));
    QApplication::setOrganizationName(QStringLiteral("Kestrand"));
    QApplication::setDesktopFileName(QStringLiteral("example.kestrand.Tourwise"));
    // One look on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QIcon icon;
    for (const char* size : {"32", "64", "256"})
        icon.addFile(QStringLiteral(":/assets/icons/tourwise-%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(icon);

    TMainForm window;
    window.show();
    return QApplication::exec();
}
