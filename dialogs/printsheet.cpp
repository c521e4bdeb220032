#include "dialogs/printsheet.h"

#include "core/clock.h"
#include "export/sheetsettings.h"
#include "platform/errorreport.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

const QString PrintTitle = QStringLiteral("Print");
const QString SavePdfTitle = QStringLiteral("Save as PDF");

QString monthAndYear(const SheetRequest& request) {
    return QStringLiteral("%1 %2")
        .arg(request.locale.standaloneMonthName(request.month))
        .arg(request.year);
}

QString suggestedPdfPath(const SheetRequest& request) {
    const QString period = request.kind == SheetRequest::Kind::Year ? QString::number(request.year)
                                                                    : monthAndYear(request);
    QString name = QStringLiteral("%1 %2.pdf").arg(request.agency, period).trimmed();
    // A title may hold characters that a file name cannot.
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(folder).filePath(name);
}

} // namespace

SheetRequest sheetRequestFrom(const ProgramState& state, const GridOverlays& overlays,
                              const Schedule& schedule, const QString& agency) {
    SheetRequest request;
    request.schedule = &schedule;
    const YearMonthDay shown = ymdFromSerial(state.SelectedDate);
    request.year = shown.year;
    request.month = shown.month;
    request.agency = agency;
    request.paydays = overlays.paydays;
    request.payPeriods = overlays.payPeriods;
    request.rdoGroups = overlays.debitDays;
    request.crewA = state.APltColor;
    request.crewB = state.BPltColor;
    request.rdo = state.XPltColor;
    request.otherMonth = state.LdTrColor;
    request.locale = state.Format.locale;
    request.made = today();
    request.version = SheetProgramVersion();
    return request;
}

bool ChooseSheet(QWidget* parent, const QString& title, SheetRequest& request) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("dlgChooseSheet"));
    dialog.setWindowTitle(title);
    auto* year = new QRadioButton(QStringLiteral("Year sheet (%1)").arg(request.year), &dialog);
    year->setObjectName(QStringLiteral("rbYearSheet"));
    auto* month =
        new QRadioButton(QStringLiteral("Month sheet (%1)").arg(monthAndYear(request)), &dialog);
    month->setObjectName(QStringLiteral("rbMonthSheet"));
    (request.kind == SheetRequest::Kind::Year ? year : month)->setChecked(true);
    auto* onlyMine = new QCheckBox(QStringLiteral("Only my days"), &dialog);
    onlyMine->setObjectName(QStringLiteral("chkOnlyMyDays"));
    onlyMine->setToolTip(QStringLiteral("Black on white, with only my duty days and RDOs marked"));
    onlyMine->setChecked(request.onlyMyDays);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(year);
    layout->addWidget(month);
    layout->addSpacing(year->sizeHint().height() / 2);
    layout->addWidget(onlyMine);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    year->setFocus();

    if (dialog.exec() != QDialog::Accepted)
        return false;
    request.kind = year->isChecked() ? SheetRequest::Kind::Year : SheetRequest::Kind::Month;
    request.onlyMyDays = onlyMine->isChecked();
    return true;
}

void PrintSheetWithPreview(QWidget* parent, const SheetRequest& request) {
    SheetRequest chosen = request;
    if (!ChooseSheet(parent, PrintTitle, chosen))
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(SheetPageLayout(chosen));
    printer.setDocName(chosen.agency);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("dlgPrintPreview"));
    // The preview may change paper and orientation; the sheet fills whatever page it is given.
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&chosen](QPrinter* target) { PrintSheet(*target, chosen); });
    preview.exec();
}

QString SaveSheetAsPdf(QWidget* parent, const SheetRequest& request) {
    SheetRequest chosen = request;
    if (!ChooseSheet(parent, SavePdfTitle, chosen))
        return {};
    QString path = QFileDialog::getSaveFileName(parent, SavePdfTitle, suggestedPdfPath(chosen),
                                                QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    QString error;
    if (!WriteSheetPdf(path, chosen, &error)) {
        reportError(parent, error);
        return {};
    }
    return path;
}
