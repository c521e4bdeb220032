// The duty rotation: the A/A/B/B crew cycle, the 196-day RDO rotation over fourteen sub-groups,
// paydays and pay periods. Pure functions of a date; what the user chose is passed in.
#pragma once

#include "core/dateserial.h"

#include <QString>
#include <QStringView>

#include <array>
#include <string_view>

inline constexpr DateSerial RdoEpoch = 40925;    // Tuesday 17 January 2012, entry 0 of RdoRotation
inline constexpr DateSerial CrewEpoch = 40908;   // Saturday 31 December 2011, crew cycle position 0
inline constexpr DateSerial PaydayEpoch = 40914; // Friday 6 January 2012, a payday
inline constexpr DateSerial DefaultPayPeriodStart = 44185; // Sunday 20 December 2020
inline constexpr int RdoRotationLength = 196;
// Paydays and pay periods come every 14 days.
inline constexpr int PayPeriodDays = 14;

// Entry i names the sub-group whose RDO falls i days (mod 196) after RdoEpoch.
extern const std::array<std::string_view, RdoRotationLength> RdoRotation;

// 'A' or 'B' for the crew on duty, 'X' for the RDO of `assignment` (exact, case-sensitive
// comparison with the table entry; "RDO" never matches), 'Z' before RdoEpoch.
QChar ShiftLetter(DateSerial date, QStringView assignment);

// The sub-group whose RDO falls on the day ("A1" ... "B7"), or empty before RdoEpoch.
QString RdoGroupOf(DateSerial date);

bool IsPayday(DateSerial date);
bool IsPayPeriodStart(DateSerial date, DateSerial payPeriodStart);

// "PP1" ... "PP26" for the period that contains the day, or empty before payPeriodStart.
QString PayPeriodLabel(DateSerial date, DateSerial payPeriodStart);

// The first day of the pay period holding the day, periods running back and forth from
// payPeriodStart (also before it, where they carry no label).
DateSerial PayPeriodFirstDay(DateSerial date, DateSerial payPeriodStart);

// The first day of the `length`-day period holding `day`, periods running back and forth from
// `anchor`: the one arithmetic of pay periods and FLSA work periods.
DateSerial PeriodFirstDay(DateSerial day, DateSerial anchor, int length);
