#include "app/startup.h"

#include "app/commandline.h"
#include "app/mainform.h"
#include "platform/windowicon.h"
#include "tourwise_version.h"

#include <QApplication>
#include <QStyleFactory>

int RunTourwise(int& argc, char** argv, const std::function<void(TMainForm&)>& beforeShow) {
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
    if (beforeShow)
        beforeShow(window);
    window.show();
    return QApplication::exec();
}
