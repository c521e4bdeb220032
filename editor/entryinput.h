// What a person types into the entry form's hours and start fields, read as minutes. The start
// takes "0700", "700", "7", "07", "7:00" and "07:00"; the hours "10", "10.5", "10,5" and "10:30".
// The validators let only such keys in; what they let through and still cannot be read is refused
// when the entry is saved.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

class QObject;
class QValidator;

// Minutes after midnight, 0 ... 23 × 60 + 59.
std::optional<int> startFromInput(QStringView text);
// Minutes, to the nearest one; an hour has at most two decimals.
std::optional<int> minutesFromInput(QStringView text);

QValidator* startValidator(QObject* parent);
QValidator* hoursValidator(QObject* parent);

// The one sentence for what cannot be read.
QString unreadableStartText();
QString unreadableHoursText();
