#include "export/sheetsettings.h"

#include "tourwise_version.h"

SheetRequest SheetRequestFromSettings(const StoredSettings& settings, const QLocale& locale,
                                      DateSerial made) {
    SheetRequest request;
    const YearMonthDay date = ymdFromSerial(made);
    request.year = date.year;
    request.month = date.month;
    request.agency = settings.agency;
    request.paydays = settings.showPaydays;
    request.payPeriods = settings.showPayPeriods;
    request.rdoGroups = settings.showDebit;
    request.crewA = settings.aPlt;
    request.crewB = settings.bPlt;
    request.rdo = settings.xPlt;
    request.otherMonth = settings.ldTr;
    request.locale = locale;
    request.made = made;
    request.version = SheetProgramVersion();
    return request;
}

QString SheetProgramVersion() {
    return QString::fromUtf8(ProductVersion);
}
