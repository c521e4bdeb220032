// Hands an address to the desktop's default handler (browser, mail program). Tests replace it.
#pragma once

#include <QUrl>

#include <functional>

void openAddress(const QUrl& address);

// Replaces the opener; an empty function restores the desktop's.
void setAddressOpener(std::function<void(const QUrl&)> opener);
