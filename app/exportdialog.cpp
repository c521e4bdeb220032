#include "app/exportdialog.h"

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

ExportCalendarDialog::ExportCalendarDialog(const CalendarExportDefaults& defaults, QWidget* parent)
    : QDialog(parent), m_defaults(defaults) {
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
    for (QCheckBox* box : {m_dutyDays, m_rdos, m_paydays, m_payPeriodStarts})
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
                        m_payPeriodStarts->isChecked()};
    request.payPeriodStart = m_defaults.payPeriodStart;
    request.agency = m_defaults.agency;
    return request;
}

void OpenCalendarExport(QWidget* parent, const CalendarExportDefaults& defaults) {
    auto* dialog = new ExportCalendarDialog(defaults, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::accepted, parent, [parent, dialog] {
        const CalendarExport request = dialog->request();
        const QString path =
            askForFile(parent, QStringLiteral("tourwise-%1.ics").arg(request.assignment));
        QString error;
        if (!path.isEmpty() && !WriteCalendarFile(path, request, &error))
            reportError(parent, error);
    });
    dialog->open();
}

void setSaveFileChooser(SaveFileChooser newChooser) {
    chooser() = std::move(newChooser);
}
