#include "app/startup.h"

#include "app/mainform.h"
#include "cli/commandline.h"
#include "platform/windowicon.h"
#include "tourwise_version.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTimer>

#include <cstdio>

namespace {

// Without a display Qt's platform plugin fails to connect and the toolkit aborts, advising to
// reinstall. The plugins Qt chooses by itself all need DISPLAY or WAYLAND_DISPLAY; one named in
// QT_QPA_PLATFORM (offscreen, a framebuffer) is the user's choice and left to Qt.
bool canShowWindow() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int RunTourwise(int& argc, char** argv, const std::function<void(TMainForm&)>& beforeShow) {
    if (const std::optional<int> exitCode = RunCommandLine(argc, argv))
        return *exitCode;
    if (!canShowWindow()) {
        std::fputs("tourwise: the window needs a display (DISPLAY or WAYLAND_DISPLAY), and none is "
                   "set; the command-line uses work without one (tourwise --help).\n",
                   stderr);
        return 1;
    }
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
