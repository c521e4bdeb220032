// The leave and comp banks a department may keep: their names in files and on the command line,
// their titles for people, and which leave draws from which.
#pragma once

#include "days/dayentry.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

enum class BankKind { Vacation, Sick, Comp, Holiday };

// In the order the rows list them.
inline constexpr std::array<BankKind, 4> AllBanks{BankKind::Vacation, BankKind::Sick,
                                                  BankKind::Comp, BankKind::Holiday};

QString bankName(BankKind bank);  // "vacation", "sick", "comp", "holiday"
QString bankTitle(BankKind bank); // "Vacation", "Sick leave", "Comp time", "Holiday"
std::optional<BankKind> bankFromName(QStringView name);
// The bank that leave of `type` draws from: the one of the same name; none for other leave or
// leave without a type.
std::optional<BankKind> bankOfLeave(LeaveType type);
