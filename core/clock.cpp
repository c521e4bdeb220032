#include "core/clock.h"

#include <QDate>

#include <utility>

namespace {

std::function<DateSerial()>& provider() {
    static std::function<DateSerial()> instance;
    return instance;
}

std::function<QDateTime()>& nowProvider() {
    static std::function<QDateTime()> instance;
    return instance;
}

} // namespace

DateSerial today() {
    if (provider())
        return provider()();
    return serialFromQDate(QDate::currentDate());
}

int currentYear() {
    return ymdFromSerial(today()).year;
}

void setTodayProvider(std::function<DateSerial()> newProvider) {
    provider() = std::move(newProvider);
}

QDateTime nowUtc() {
    if (nowProvider())
        return nowProvider()().toUTC();
    return QDateTime::currentDateTimeUtc();
}

void setNowUtcProvider(std::function<QDateTime()> newProvider) {
    nowProvider() = std::move(newProvider);
}
