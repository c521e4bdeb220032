#include "platform/errorreport.h"

#include <QMessageBox>

#include <utility>

namespace {

std::function<void(const QString&)>& reporter() {
    static std::function<void(const QString&)> instance;
    return instance;
}

} // namespace

void reportError(QWidget* parent, const QString& message) {
    const QString shown = message + QLatin1Char('.');
    if (reporter()) {
        reporter()(shown);
        return;
    }
    // Titled as the window it reports for.
    const QString title = parent ? parent->window()->windowTitle() : QString();
    QMessageBox box(QMessageBox::Critical, title, shown, QMessageBox::Ok, parent);
    box.exec();
}

void setErrorReporter(std::function<void(const QString&)> newReporter) {
    reporter() = std::move(newReporter);
}
