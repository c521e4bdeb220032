#include "dialogs/exportdialog.h"

#include "core/calendar.h"
#include "core/localformat.h"
#include "platform/errorreport.h"
#include "settings/settingsfile.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {

SaveFileChooser& chooser() {
    static SaveFileChooser instance;
    return instance;
}

QString askForFile(QWidget* parent, const QString& suggestedName) {
    if (chooser())
        return chooser()(parent, suggestedName);
    QFileDialog dialog(parent, QStringLiteral("Export to calendar"),
                       QDir::home().filePath(suggestedName),
                       QStringLiteral("Calendar files (*.ics)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("ics"));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QDateEdit* dateEditor(const QString& name, DateSerial date, QWidget* parent) {
    auto* editor = new QDateEdit(qdateFromSerial(date), parent);
    editor->setObjectName(name);
    editor->setDateRange(qdateFromSerial(MinViewDate), qdateFromSerial(MaxViewDate));
    editor->setDisplayFormat(numericShortDatePattern(editor->locale()));
    editor->setCalendarPopup(true);
    editor->calendarWidget()->setFirstDayOfWeek(Qt::Sunday);
    return editor;
}

QCheckBox* checkBox(const QString& name, const QString& text, bool checked, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

} // namespace

ExportCalendarDialog::ExportCalendarDialog(const CalendarExportDefaults& defaults, QWidget* parent,
                                           const CalendarExportOwnDays& ownDays)
    : QDialog(parent), m_defaults(defaults), m_ownDays(ownDays) {
    setObjectName(QStringLiteral("dlgExportCalendar"));
    setWindowTitle(QStringLiteral("Export to calendar"));

    m_assignment = new QComboBox(this);
    m_assignment->setObjectName(QStringLiteral("cbExportPlt"));
    m_assignment->addItems(assignmentItems().mid(1)); // the fourteen sub-groups
    m_assignment->setPlaceholderText(QStringLiteral("Choose crew and group"));
    m_assignment->setCurrentIndex(assignmentIndex(defaults.assignment) - 1);

    const CalendarRange range = DefaultCalendarRange(defaults.today);
    m_from = dateEditor(QStringLiteral("deExportFrom"), range.first, this);
    m_to = dateEditor(QStringLiteral("deExportTo"), range.last, this);

    m_dutyDays =
        checkBox(QStringLiteral("chkDutyDays"), QStringLiteral("My duty days"), true, this);
    m_rdos = checkBox(QStringLiteral("chkRdos"), QStringLiteral("My RDOs"), true, this);
    m_paydays =
        checkBox(QStringLiteral("chkPaydays"), QStringLiteral("Paydays"), defaults.paydays, this);
    m_payPeriodStarts =
        checkBox(QStringLiteral("chkPayPeriods"), QStringLiteral("Pay-period starts"),
                 defaults.payPeriodStarts, this);
    m_timedShifts = checkBox(QStringLiteral("chkTimedShifts"),
                             QStringLiteral("Duty days from shift start to shift start"),
                             !ownDays.keptFile.isEmpty() && ownDays.keptTimedShifts, this);
    m_timedShifts->setToolTip(QStringLiteral(
        "Timed events from the shift start to the next day's shift start, so the morning after "
        "also shows as duty"));
    m_keepUpToDate =
        checkBox(QStringLiteral("chkKeepUpToDate"), QStringLiteral("Keep this file up to date"),
                 !ownDays.keptFile.isEmpty(), this);
    m_keepUpToDate->setToolTip(
        ownDays.keptFile.isEmpty()
            ? QStringLiteral("Write the file again after every change of my days and every Save")
            : QStringLiteral("Now kept up to date: %1")
                  .arg(QDir::toNativeSeparators(ownDays.keptFile)));
    if (!ownDays.setKeptFile)
        m_keepUpToDate->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_export = buttons->button(QDialogButtonBox::Ok);
    m_export->setObjectName(QStringLiteral("bExport"));
    m_export->setText(QStringLiteral("Export\u2026"));
    m_export->setDefault(true); // Return exports, whatever order the desktop gives the buttons

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Assignment"), m_assignment);
    form->addRow(QStringLiteral("From"), m_from);
    form->addRow(QStringLiteral("To"), m_to);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    for (QCheckBox* box :
         {m_dutyDays, m_rdos, m_paydays, m_payPeriodStarts, m_timedShifts, m_keepUpToDate})
        layout->addWidget(box);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_from, &QDateEdit::dateChanged, this, [this] { keepRangeInOrder(m_from); });
    connect(m_to, &QDateEdit::dateChanged, this, [this] { keepRangeInOrder(m_to); });
    connect(m_assignment, &QComboBox::currentIndexChanged, this,
            &ExportCalendarDialog::updateExportButton);
    for (QCheckBox* box : {m_dutyDays, m_rdos, m_paydays, m_payPeriodStarts})
        connect(box, &QCheckBox::toggled, this, &ExportCalendarDialog::updateExportButton);
    updateExportButton();
}

void ExportCalendarDialog::keepRangeInOrder(QDateEdit* changed) {
    // The other end follows, so the range never runs backwards.
    if (m_from->date() <= m_to->date())
        return;
    if (changed == m_from)
        m_to->setDate(m_from->date());
    else
        m_from->setDate(m_to->date());
}

void ExportCalendarDialog::updateExportButton() {
    const bool anything = m_dutyDays->isChecked() || m_rdos->isChecked() ||
                          m_paydays->isChecked() || m_payPeriodStarts->isChecked();
    m_export->setEnabled(m_assignment->currentIndex() >= 0 && anything);
}

CalendarExport ExportCalendarDialog::request() const {
    CalendarExport request;
    request.range = {serialFromQDate(m_from->date()), serialFromQDate(m_to->date())};
    request.assignment = m_assignment->currentText();
    request.contents = {m_dutyDays->isChecked(), m_rdos->isChecked(), m_paydays->isChecked(),
                        m_payPeriodStarts->isChecked(), m_timedShifts->isChecked()};
    request.payPeriodStart = m_defaults.payPeriodStart;
    request.agency = m_defaults.agency;
    request.own = m_ownDays.own;
    return request;
}

bool ExportCalendarDialog::keepUpToDate() const {
    return m_keepUpToDate->isChecked();
}

void OpenCalendarExport(QWidget* parent, const CalendarExportDefaults& defaults,
                        const CalendarExportOwnDays& ownDays) {
    auto* dialog = new ExportCalendarDialog(defaults, parent, ownDays);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::accepted, parent, [parent, dialog, ownDays] {
        const CalendarExport request = dialog->request();
        const bool keep = dialog->keepUpToDate();
        const QString suggested = keep && !ownDays.keptFile.isEmpty()
                                      ? ownDays.keptFile
                                      : QStringLiteral("tourwise-%1.ics").arg(request.assignment);
        const QString path = askForFile(parent, suggested);
        if (path.isEmpty())
            return;
        QString error;
        if (!WriteCalendarFile(path, request, &error)) {
            reportError(parent, error);
            return;
        }
        if (!ownDays.setKeptFile)
            return;
        if (keep)
            ownDays.setKeptFile(path, request.contents.timedShifts);
        else if (!ownDays.keptFile.isEmpty())
            ownDays.setKeptFile({}, false);
    });
    dialog->open();
}

void setSaveFileChooser(SaveFileChooser newChooser) {
    chooser() = std::move(newChooser);
}
