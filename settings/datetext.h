// The pay-period start date as text in the settings file.
#pragma once

#include "core/dateserial.h"

#include <QLocale>
#include <QString>

#include <optional>

// The locale's short date form with the year widened to four digits, so that it reads back the
// same ("12/20/2020" under en_US).
QString payPeriodStartToText(DateSerial date, const QLocale& locale);

// Accepts that form, the locale's own short form (a two-digit year taken as 20xx) and ISO dates
// (yyyy-MM-dd). Anything else gives nullopt.
std::optional<DateSerial> payPeriodStartFromText(const QString& text, const QLocale& locale);
