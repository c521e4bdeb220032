// "Today" for the whole program. Tests replace the clock so that nothing depends on the date.
#pragma once

#include "core/dateserial.h"

#include <QDateTime>

#include <functional>

// The local calendar date of the clock, without time of day.
DateSerial today();

int currentYear();

// Replaces the clock; an empty function restores the system clock.
void setTodayProvider(std::function<DateSerial()> provider);

// The current instant in UTC, for the time stamps of files the program writes.
QDateTime nowUtc();

// Replaces the instant's clock; an empty function restores the system clock.
void setNowUtcProvider(std::function<QDateTime()> provider);
