#include "app/startup.h"

#include "app/mainform.h"
#include "cli/commandline.h"
#include "platform/windowicon.h"
#include "tourwise_version.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTimer>

int RunTourwise(int& argc, char** argv, const std::function<void(TMainForm&)>& beforeShow) {
    if (const std::optional<int> exitCode = RunCommandLine(argc, argv))
        return *exitCode;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(ProductName));
    QApplication::setOrganizationName(QStringLiteral("Kestrand"));
    QApplication::setDesktopFileName(QString::fromLatin1(ApplicationId));
    // One look on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // The window is mapped with the small pictures of its icon, and the large ones follow as soon
    // as the event loop runs: handed over before the window is shown, they went out with the
    // request to map it, and the window manager read and converted them all before it mapped the
    // window, which appeared noticeably later.
    QApplication::setWindowIcon(windowIcon(TitleBarIconSize));

    TMainForm window;
    if (beforeShow)
        beforeShow(window);
    window.show();
    QTimer::singleShot(0, &window, [] { QApplication::setWindowIcon(windowIcon()); });
    return QApplication::exec();
}
