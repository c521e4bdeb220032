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
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tourwise\u00AE"), shown, QMessageBox::Ok,
                    parent);
    box.exec();
}

void setErrorReporter(std::function<void(const QString&)> newReporter) {
    reporter() = std::move(newReporter);
}
