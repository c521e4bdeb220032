// "Today" for the whole program. Tests replace the clock so that nothing depends on the date.
#pragma once

#include "core/dateserial.h"

#include <functional>

// The local calendar date of the clock, without time of day.
DateSerial today();

int currentYear();

// Replaces the clock; an empty function restores the system clock.
void setTodayProvider(std::function<DateSerial()> provider);
