#include "dialogs/exportdialog.h"

#include "core/calendar.h"
#include "core/localformat.h"
#include "days/entrystore.h"
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

ExportCalendarDialog::ExportCalendarDialog(const Schedule& schedule,
                                           const CalendarExportChoices& choices, QWidget* parent,
                                           const KeptCalendar& kept,
                                           const std::function<void()>& publish)
    : QDialog(parent), m_schedule(schedule), m_asIfOneGroup(schedule.store()), m_choices(choices),
      m_kept(kept) {
    setObjectName(QStringLiteral("dlgExportCalendar"));
    setWindowTitle(QStringLiteral("Export to calendar"));

    m_assignment = new QComboBox(this);
    m_assignment->setObjectName(QStringLiteral("cbExportPlt"));
    m_assignment->addItems(assignmentItems().mid(1)); // the fourteen sub-groups
    m_assignment->setPlaceholderText(QStringLiteral("Choose crew and group"));
    m_assignment->setCurrentIndex(assignmentIndex(schedule.currentAssignment()) - 1);
    m_asIfOneGroup.setPayPeriodStart(schedule.payPeriodStart());

    const CalendarRange range = DefaultCalendarRange(choices.today);
    m_from = dateEditor(QStringLiteral("deExportFrom"), range.first, this);
    m_to = dateEditor(QStringLiteral("deExportTo"), range.last, this);

    m_dutyDays =
        checkBox(QStringLiteral("chkDutyDays"), QStringLiteral("My duty days"), true, this);
    m_rdos = checkBox(QStringLiteral("chkRdos"), QStringLiteral("My RDOs"), true, this);
    m_paydays =
        checkBox(QStringLiteral("chkPaydays"), QStringLiteral("Paydays"), choices.paydays, this);
    m_payPeriodStarts =
        checkBox(QStringLiteral("chkPayPeriods"), QStringLiteral("Pay-period starts"),
                 choices.payPeriodStarts, this);
    m_timedShifts = checkBox(QStringLiteral("chkTimedShifts"),
                             QStringLiteral("Duty days from shift start to shift start"),
                             !kept.file.isEmpty() && kept.timedShifts, this);
    m_timedShifts->setToolTip(QStringLiteral(
        "Timed events from the shift start to the next day's shift start, so the morning after "
        "also shows as duty"));
    m_keepUpToDate =
        checkBox(QStringLiteral("chkKeepUpToDate"), QStringLiteral("Keep this file up to date"),
                 !kept.file.isEmpty(), this);
    m_keepUpToDate->setToolTip(
        kept.file.isEmpty()
            ? QStringLiteral("Write the file again after every change of my days and every Save")
            : QStringLiteral("Now kept up to date: %1").arg(QDir::toNativeSeparators(kept.file)));
    if (!kept.setFile)
        m_keepUpToDate->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_export = buttons->button(QDialogButtonBox::Ok);
    m_export->setObjectName(QStringLiteral("bExport"));
    m_export->setText(QStringLiteral("Export\u2026"));
    m_export->setDefault(true); // Return exports, whatever order the desktop gives the buttons
    if (publish) {
        QPushButton* instead = buttons->addButton(
            QStringLiteral("&Publish to a calendar server\u2026"), QDialogButtonBox::ActionRole);
        instead->setObjectName(QStringLiteral("bPublishInstead"));
        connect(instead, &QPushButton::clicked, this, [this, open = publish] {
            reject();
            open();
        });
    }

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
    const QString chosen = m_assignment->currentText();
    if (chosen == m_schedule.currentAssignment()) {
        request.schedule = &m_schedule;
    } else {
        auto& asIf = const_cast<Schedule&>(m_asIfOneGroup);
        asIf.setCurrentAssignment(chosen);
        asIf.setAssignmentOnEveryDay(chosen);
        request.schedule = &m_asIfOneGroup;
    }
    request.range = {serialFromQDate(m_from->date()), serialFromQDate(m_to->date())};
    request.contents = {m_dutyDays->isChecked(), m_rdos->isChecked(), m_paydays->isChecked(),
                        m_payPeriodStarts->isChecked(), m_timedShifts->isChecked()};
    request.agency = m_choices.agency;
    return request;
}

QString ExportCalendarDialog::assignment() const {
    return m_assignment->currentText();
}

bool ExportCalendarDialog::keepUpToDate() const {
    return m_keepUpToDate->isChecked();
}

void OpenCalendarExport(QWidget* parent, const Schedule& schedule,
                        const CalendarExportChoices& choices, const KeptCalendar& kept,
                        const std::function<void(const QString& path)>& saved,
                        const std::function<void()>& publish) {
    auto* dialog = new ExportCalendarDialog(schedule, choices, parent, kept, publish);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::accepted, parent, [parent, dialog, kept, saved] {
        const CalendarExport request = dialog->request();
        const bool keep = dialog->keepUpToDate();
        const QString suggested = keep && !kept.file.isEmpty()
                                      ? kept.file
                                      : QStringLiteral("tourwise-%1.ics").arg(dialog->assignment());
        const QString path = askForFile(parent, suggested);
        if (path.isEmpty())
            return;
        // A switch of the duty days' times must reach a phone as an update.
        if (EntryStore* store = request.schedule->store())
            store->noteDutyTiming(request.contents.timedShifts);
        QString error;
        if (!WriteCalendarFile(path, request, &error)) {
            reportError(parent, error);
            return;
        }
        if (saved)
            saved(path);
        if (!kept.setFile)
            return;
        if (keep)
            kept.setFile(path, request.contents.timedShifts);
        else if (!kept.file.isEmpty())
            kept.setFile({}, false);
    });
    dialog->open();
}

void setSaveFileChooser(SaveFileChooser newChooser) {
    chooser() = std::move(newChooser);
}
