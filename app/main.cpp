#include "app/commandline.h"
#include "app/mainform.h"
#include "platform/windowicon.h"
#include "tourwise_version.h"

#include <QApplication>
#include <QStyleFactory>

#ifdef TOURWISE_QUIT_AFTER_FIRST_PAINT
#include "bench/firstpaintquit.h"
#endif

int main(int argc, char* argv[]) {
    if (const std::optional<int> exitCode = RunCommandLine(argc, argv))
        return *exitCode;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(ProductName));
    QApplication::setOrganizationName(QStringLiteral("Kestrand"));
    QApplication::setDesktopFileName(QString::fromLatin1(ApplicationId));
    // One look on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(windowIcon());

    TMainForm window;
#ifdef TOURWISE_QUIT_AFTER_FIRST_PAINT
    new QuitAfterFirstPaint(&window); // start-up benchmark build only
#endif
    window.show();
    return QApplication::exec();
}
