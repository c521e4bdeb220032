#include "platform/urlopener.h"

#include <QDesktopServices>

#include <utility>

namespace {

std::function<void(const QUrl&)>& opener() {
    static std::function<void(const QUrl&)> instance;
    return instance;
}

} // namespace

void openAddress(const QUrl& address) {
    if (opener()) {
        opener()(address);
        return;
    }
    // Without a registered handler this fails quietly, which is what a link should do here.
    QDesktopServices::openUrl(address);
}

void setAddressOpener(std::function<void(const QUrl&)> newOpener) {
    opener() = std::move(newOpener);
}
