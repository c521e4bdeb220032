#include "days/banktext.h"

#include <QDate>

namespace {

QString dayText(DateSerial day) {
    return qdateFromSerial(day).toString(Qt::ISODate);
}

} // namespace

HoursTable bankTable(const QList<BankPeriodRow>& rows) {
    HoursTable table;
    table.header = QStringList{"period", "first",  "last",     "bank",    "opening", "forfeited",
                               "used",   "earned", "over_cap", "accrued", "closing"};
    table.numeric = {false, false, false, false, true, true, true, true, true, true, true};
    table.dates = {false, true, true, false, false, false, false, false, false, false, false};
    for (const BankPeriodRow& row : rows)
        table.rows.append({row.label, dayText(row.first), dayText(row.last), bankName(row.bank),
                           hundredthsText(row.opening), hundredthsText(row.forfeited),
                           hundredthsText(row.used), hundredthsText(row.earned),
                           hundredthsText(row.overCap), hundredthsText(row.accrued),
                           hundredthsText(row.closing)});
    return table;
}

QString bankAfterDayText(BankKind bank, Hundredths balance) {
    QString amount = hundredthsText(balance);
    if (amount.startsWith(u'-'))
        amount[0] = QChar(0x2212);
    return QStringLiteral("%1 would be %2 h after this day").arg(bankTitle(bank), amount);
}
