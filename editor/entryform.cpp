#include "editor/entryform.h"

#include "days/hours.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

#include <array>

namespace {

constexpr std::array Kinds = {EntryKind::TradeOut, EntryKind::TradeIn,  EntryKind::Leave,
                              EntryKind::Overtime, EntryKind::Holdover, EntryKind::Training,
                              EntryKind::Note};
constexpr std::array LeaveTypes = {LeaveType::Vacation, LeaveType::Sick,  LeaveType::Comp,
                                   LeaveType::Holiday,  LeaveType::Other, LeaveType::None};

// A row of the form that shows and hides with its field.
void showRow(QFormLayout* form, QWidget* field, bool shown) {
    form->setRowVisible(field, shown);
}

} // namespace

EntryForm::EntryForm(const DayEntry& entry, int shiftMinutes, Submit submit, QWidget* parent)
    : QDialog(parent), m_entry(entry), m_shiftMinutes(shiftMinutes), m_submit(std::move(submit)) {
    setObjectName(QStringLiteral("dlgEntry"));
    const QString date = QLocale().toString(qdateFromSerial(entry.date), QLocale::LongFormat);
    setWindowTitle(entry.id.isNull() ? QStringLiteral("New entry \u2013 %1").arg(date)
                                     : QStringLiteral("Entry \u2013 %1").arg(date));

    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("cbKind"));
    for (EntryKind kind : Kinds)
        m_kind->addItem(EntryKindTitle(kind), static_cast<int>(kind));
    m_kind->setCurrentIndex(m_kind->findData(static_cast<int>(entry.kind)));

    m_wholeShift = new QCheckBox(
        QStringLiteral("The whole shift (%1 hours)").arg(hoursText(shiftMinutes)), this);
    m_wholeShift->setObjectName(QStringLiteral("chkWholeShift"));
    m_hours = new QDoubleSpinBox(this);
    m_hours->setObjectName(QStringLiteral("sbHours"));
    m_hours->setRange(0, 48);
    m_hours->setDecimals(2);
    m_hours->setSingleStep(0.5);
    m_hours->setSuffix(QStringLiteral(" h"));
    m_hasStart = new QCheckBox(QStringLiteral("Starts at"), this);
    m_hasStart->setObjectName(QStringLiteral("chkStart"));
    m_start = new QTimeEdit(this);
    m_start->setObjectName(QStringLiteral("teStart"));
    m_start->setDisplayFormat(QStringLiteral("HH:mm"));
    m_startRow = new QWidget(this);
    auto* startLayout = new QHBoxLayout(m_startRow);
    startLayout->setContentsMargins(0, 0, 0, 0);
    startLayout->addWidget(m_hasStart);
    startLayout->addWidget(m_start, 1);
    m_with = new QLineEdit(this);
    m_with->setObjectName(QStringLiteral("edWith"));
    m_with->setPlaceholderText(QStringLiteral("Name"));
    m_leaveType = new QComboBox(this);
    m_leaveType->setObjectName(QStringLiteral("cbLeaveType"));
    for (LeaveType type : LeaveTypes)
        m_leaveType->addItem(LeaveTypeTitle(type), static_cast<int>(type));
    m_note = new QLineEdit(this);
    m_note->setObjectName(QStringLiteral("edNote"));
    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("lblRefusal"));
    m_refusal->setWordWrap(true);
    m_refusal->setStyleSheet(QStringLiteral("color: #b00000"));
    m_refusal->hide();
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Kind"), m_kind);
    form->addRow(QString(), m_wholeShift);
    form->addRow(QStringLiteral("&Hours"), m_hours);
    form->addRow(QStringLiteral("&Time"), m_startRow);
    form->addRow(QStringLiteral("&With"), m_with);
    form->addRow(QStringLiteral("&Leave"), m_leaveType);
    form->addRow(QStringLiteral("&Note"), m_note);
    form->addRow(m_refusal);
    form->addRow(m_buttons);

    // The fields as the entry has them.
    m_wholeShift->setChecked(!entry.minutes);
    m_hours->setValue((entry.minutes ? *entry.minutes : shiftMinutes) / 60.0);
    m_hasStart->setChecked(entry.start.has_value());
    m_start->setTime(entry.start ? QTime(*entry.start / 60, *entry.start % 60) : QTime(8, 0));
    m_start->setEnabled(entry.start.has_value());
    m_with->setText(entry.with);
    const int leave = m_leaveType->findData(static_cast<int>(entry.leaveType));
    m_leaveType->setCurrentIndex(leave < 0 ? 0 : leave);
    m_note->setText(entry.note);

    connect(m_kind, &QComboBox::currentIndexChanged, this, &EntryForm::kindChanged);
    connect(m_wholeShift, &QCheckBox::toggled, this, &EntryForm::kindChanged);
    connect(m_hasStart, &QCheckBox::toggled, m_start, &QWidget::setEnabled);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &EntryForm::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &EntryForm::reject);
    kindChanged();
    m_kind->setFocus(Qt::OtherFocusReason);
}

void EntryForm::kindChanged() {
    auto* form = static_cast<QFormLayout*>(layout());
    const auto kind = static_cast<EntryKind>(m_kind->currentData().toInt());
    const bool absence = isAbsence(kind);
    const bool trade = kind == EntryKind::TradeOut || kind == EntryKind::TradeIn;
    showRow(form, m_wholeShift, absence);
    showRow(form, m_hours, kind != EntryKind::Note);
    m_hours->setEnabled(!(absence && m_wholeShift->isChecked()));
    if (absence && m_wholeShift->isChecked())
        m_hours->setValue(m_shiftMinutes / 60.0);
    showRow(form, m_startRow, kind != EntryKind::Note);
    showRow(form, m_with, trade);
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(m_with)))
        label->setText(kind == EntryKind::TradeOut ? QStringLiteral("&Works for me")
                                                   : QStringLiteral("&I work for"));
    showRow(form, m_leaveType, kind == EntryKind::Leave);
    m_refusal->hide();
    adjustSize();
}

DayEntry EntryForm::entry() const {
    DayEntry made = m_entry;
    made.kind = static_cast<EntryKind>(m_kind->currentData().toInt());
    const bool absence = isAbsence(made.kind);
    made.minutes.reset();
    if (made.kind != EntryKind::Note && !(absence && m_wholeShift->isChecked()))
        made.minutes = qRound(m_hours->value() * 60);
    made.start.reset();
    if (made.kind != EntryKind::Note && m_hasStart->isChecked())
        made.start = m_start->time().hour() * 60 + m_start->time().minute();
    const bool trade = made.kind == EntryKind::TradeOut || made.kind == EntryKind::TradeIn;
    made.with = trade ? m_with->text().trimmed() : QString();
    made.leaveType = made.kind == EntryKind::Leave
                         ? static_cast<LeaveType>(m_leaveType->currentData().toInt())
                         : LeaveType::None;
    made.note = m_note->text().trimmed();
    return made;
}

void EntryForm::accept() {
    const QString refusal = m_submit ? m_submit(entry()) : QString();
    if (refusal.isEmpty()) {
        QDialog::accept();
        return;
    }
    m_refusal->setText(refusal);
    m_refusal->show();
}
