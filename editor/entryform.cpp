#include "editor/entryform.h"

#include "days/entryrules.h"
#include "days/hours.h"
#include "editor/entryinput.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

#include <algorithm>
#include <array>

namespace {

constexpr std::array Kinds = {EntryKind::TradeOut, EntryKind::TradeIn,  EntryKind::Leave,
                              EntryKind::Overtime, EntryKind::Holdover, EntryKind::Training,
                              EntryKind::Note};
constexpr std::array LeaveTypes = {LeaveType::Vacation, LeaveType::Sick,  LeaveType::Comp,
                                   LeaveType::Holiday,  LeaveType::Other, LeaveType::None};

// The fields a kind has besides its kind and its note.
struct KindFields {
    bool hours = false;
    bool start = false;
    bool with = false;
    bool leaveType = false;
    bool comp = false; // may be taken as comp time instead of pay
};

KindFields fieldsOf(EntryKind kind) {
    switch (kind) {
    case EntryKind::TradeOut:
    case EntryKind::TradeIn:
        return {true, true, true, false};
    case EntryKind::Leave:
        return {true, true, false, true};
    case EntryKind::Overtime:
    case EntryKind::Holdover:
        return {true, true, false, false, true};
    case EntryKind::Training:
        return {true, true, false, false};
    case EntryKind::Note:
        break;
    }
    return {};
}

// What an empty hours field stands for, in the day's own length of a shift.
QString hoursDefaultText(EntryKind kind, const DayShift& shift) {
    if (!wholeShiftWithoutHours(kind))
        return QStringLiteral("Give the hours of the %1").arg(entryKindName(kind));
    DayEntry whole;
    whole.kind = kind;
    return QStringLiteral("The whole shift, %1 hours").arg(hoursText(entryMinutes(whole, shift)));
}

// Up and Down step through the other recorded names that the typed start fits, in the
// completer's order; a line edit's inline completion offers only the first by itself. Enter then
// takes the one shown, as it takes the first.
class NameStepping : public QObject {
public:
    NameStepping(QLineEdit* field, QCompleter* names)
        : QObject(field), m_field(field), m_names(names) {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_field || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Up && key->key() != Qt::Key_Down) ||
            key->modifiers() != Qt::NoModifier)
            return false;
        const QString typed = m_field->hasSelectedText()
                                  ? m_field->text().left(m_field->selectionStart())
                                  : m_field->text();
        if (typed.isEmpty())
            return false;
        if (m_names->completionPrefix() != typed)
            m_names->setCompletionPrefix(typed);
        const int count = m_names->completionCount();
        if (count == 0)
            return false;
        const int step = key->key() == Qt::Key_Down ? 1 : -1;
        m_names->setCurrentRow((std::max(m_names->currentRow(), 0) + step + count) % count);
        const QString name = m_names->currentCompletion();
        m_field->setText(typed + name.mid(typed.size()));
        m_field->setSelection(static_cast<int>(typed.size()),
                              static_cast<int>(name.size() - typed.size()));
        return true;
    }

private:
    QLineEdit* m_field;
    QCompleter* m_names;
};

} // namespace

EntryForm::EntryForm(const DayEntry& entry, const DayShift& shift, const QStringList& partners,
                     Submit submit, QWidget* parent)
    : QDialog(parent), m_entry(entry), m_shift(shift), m_submit(std::move(submit)) {
    setObjectName(QStringLiteral("dlgEntry"));
    // The date first: the window list and the task bar show the start of a title.
    const QString date = QLocale().toString(qdateFromSerial(entry.date), QLocale::LongFormat);
    setWindowTitle(entry.id.isNull() ? QStringLiteral("%1 \u2013 new entry").arg(date)
                                     : QStringLiteral("%1 \u2013 entry").arg(date));

    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("cbKind"));
    for (EntryKind kind : Kinds)
        m_kind->addItem(EntryKindTitle(kind), static_cast<int>(kind));
    m_kind->setCurrentIndex(m_kind->findData(static_cast<int>(entry.kind)));

    m_hours = new QLineEdit(this);
    m_hours->setObjectName(QStringLiteral("edHours"));
    m_hours->setValidator(hoursValidator(m_hours));
    m_start = new QLineEdit(this);
    m_start->setObjectName(QStringLiteral("edStart"));
    m_start->setValidator(startValidator(m_start));
    m_with = new QLineEdit(this);
    m_with->setObjectName(QStringLiteral("edWith"));
    m_with->setPlaceholderText(QStringLiteral("Name"));
    auto* names = new QCompleter(partners, m_with);
    names->setCaseSensitivity(Qt::CaseInsensitive);
    // The list is in the order to offer: the partner of the latest trade first.
    names->setModelSorting(QCompleter::UnsortedModel);
    // Completed as it is typed: Enter takes the name as recorded, Up and Down offer the others.
    names->setCompletionMode(QCompleter::InlineCompletion);
    m_with->setCompleter(names);
    new NameStepping(m_with, names);
    m_leaveType = new QComboBox(this);
    m_leaveType->setObjectName(QStringLiteral("cbLeaveType"));
    for (LeaveType type : LeaveTypes)
        m_leaveType->addItem(LeaveTypeTitle(type), static_cast<int>(type));
    m_comp = new QCheckBox(QStringLiteral("As &comp time, not pay"), this);
    m_comp->setObjectName(QStringLiteral("chkComp"));
    m_comp->setToolTip(QStringLiteral("Earns 1.5 times its hours into the comp bank"));
    m_note = new QLineEdit(this);
    m_note->setObjectName(QStringLiteral("edNote"));
    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("lblRefusal"));
    m_refusal->setTextFormat(Qt::PlainText);
    m_refusal->setWordWrap(true);
    m_refusal->setStyleSheet(QStringLiteral("color: #b00000"));
    m_refusal->hide();
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    m_form = new QFormLayout(this);
    m_form->addRow(QStringLiteral("&Kind"), m_kind);
    m_form->addRow(QStringLiteral("&Hours"), m_hours);
    m_form->addRow(QStringLiteral("&Starts at"), m_start);
    m_form->addRow(QStringLiteral("&Works for me"), m_with);
    m_form->addRow(QStringLiteral("&Leave"), m_leaveType);
    m_form->addRow(QString(), m_comp);
    m_form->addRow(QStringLiteral("&Note"), m_note);
    m_form->addRow(m_refusal);
    m_form->addRow(m_buttons);

    // The fields as the entry has them; a new leave is most often a vacation.
    if (entry.minutes)
        m_hours->setText(hoursText(*entry.minutes));
    if (entry.start)
        m_start->setText(clockText(*entry.start));
    m_with->setText(entry.with);
    const bool storedLeave = !entry.id.isNull() && entry.kind == EntryKind::Leave;
    const LeaveType leave = storedLeave ? entry.leaveType : LeaveType::Vacation;
    m_leaveType->setCurrentIndex(m_leaveType->findData(static_cast<int>(leave)));
    m_note->setText(entry.note);
    m_comp->setChecked(entry.comp);

    connect(m_kind, &QComboBox::currentIndexChanged, this, &EntryForm::kindChanged);
    // What was typed as "7" reads back as the time it was taken for.
    connect(m_start, &QLineEdit::editingFinished, this, [this] {
        if (const std::optional<int> start = startFromInput(m_start->text()))
            m_start->setText(clockText(*start));
    });
    connect(m_buttons, &QDialogButtonBox::accepted, this, &EntryForm::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &EntryForm::reject);
    kindChanged();
    m_kind->setFocus(Qt::OtherFocusReason);
}

EntryKind EntryForm::kind() const {
    return static_cast<EntryKind>(m_kind->currentData().toInt());
}

void EntryForm::kindChanged() {
    const EntryKind current = kind();
    const KindFields fields = fieldsOf(current);
    m_form->setRowVisible(m_hours, fields.hours);
    m_form->setRowVisible(m_start, fields.start);
    m_form->setRowVisible(m_with, fields.with);
    m_form->setRowVisible(m_leaveType, fields.leaveType);
    m_form->setRowVisible(m_comp, fields.comp);
    if (auto* label = qobject_cast<QLabel*>(m_form->labelForField(m_with)))
        label->setText(current == EntryKind::TradeOut ? QStringLiteral("&Works for me")
                                                      : QStringLiteral("&I work for"));
    // Where the kind cannot go, its fields say nothing of hours the day does not have.
    const QString refusal = KindRefusal(current, m_shift);
    for (QWidget* field : {static_cast<QWidget*>(m_hours), static_cast<QWidget*>(m_start),
                           static_cast<QWidget*>(m_with), static_cast<QWidget*>(m_leaveType),
                           static_cast<QWidget*>(m_comp)})
        field->setEnabled(refusal.isEmpty());
    m_hours->setPlaceholderText(refusal.isEmpty() ? hoursDefaultText(current, m_shift) : QString());
    m_start->setPlaceholderText(refusal.isEmpty() ? QStringLiteral("None, or such as 07:00")
                                                  : QString());
    m_refusal->setVisible(!refusal.isEmpty());
    m_refusal->setText(refusal);
    fitContents();
}

void EntryForm::showRefusal(const QString& sentence) {
    m_refusal->setText(sentence);
    m_refusal->show();
    fitContents();
}

void EntryForm::fitContents() {
    if (!isVisible()) {
        adjustSize();
        return;
    }
    // Never narrower while open, so that the fields stay where the eye has them; as high as
    // the rows shown need at that width, a refusal's every line included.
    m_form->activate();
    const int width = std::max(this->width(), sizeHint().width());
    resize(width,
           m_form->hasHeightForWidth() ? m_form->totalHeightForWidth(width) : sizeHint().height());
}

QString EntryForm::read(DayEntry& made) const {
    made = m_entry;
    made.kind = kind();
    const KindFields fields = fieldsOf(made.kind);
    made.minutes.reset();
    if (fields.hours && !m_hours->text().trimmed().isEmpty()) {
        const std::optional<int> minutes = minutesFromInput(m_hours->text());
        if (!minutes)
            return unreadableHoursText();
        made.minutes = *minutes;
    }
    made.start.reset();
    if (fields.start && !m_start->text().trimmed().isEmpty()) {
        const std::optional<int> start = startFromInput(m_start->text());
        if (!start)
            return unreadableStartText();
        made.start = *start;
    }
    made.with = fields.with ? m_with->text().simplified() : QString();
    made.leaveType = fields.leaveType ? static_cast<LeaveType>(m_leaveType->currentData().toInt())
                                      : LeaveType::None;
    made.note = m_note->text().trimmed();
    made.comp = fields.comp && m_comp->isChecked();
    return {};
}

void EntryForm::accept() {
    // The kind's own refusal first: its fields are not read where it cannot go.
    QString refusal = KindRefusal(kind(), m_shift);
    DayEntry made;
    if (refusal.isEmpty())
        refusal = read(made);
    if (refusal.isEmpty() && m_submit)
        refusal = m_submit(made);
    if (refusal.isEmpty()) {
        QDialog::accept();
        return;
    }
    showRefusal(refusal);
}
