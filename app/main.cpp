#include "app/mainform.h"

#include <QApplication>
#include <QIcon>
#include <QStyleFactory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tourwise"));
    QApplication::setOrganizationName(QStringLiteral("Kestrand"));
    QApplication::setDesktopFileName(QStringLiteral("tourwise"));
    // One look on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icons/tourwise-256.png")));

    TMainForm window;
    window.show();
    return QApplication::exec();
}
