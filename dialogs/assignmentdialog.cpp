#include "dialogs/assignmentdialog.h"

#include "core/calendar.h"
#include "core/localformat.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

AssignmentChangeDialog::AssignmentChangeDialog(const AssignmentHistory& recorded,
                                               const QString& next, DateSerial suggestedDay,
                                               const QLocale& locale, QWidget* parent)
    : QDialog(parent), m_kept(recorded), m_next(next), m_locale(locale) {
    setObjectName(QStringLiteral("dlgAssignment"));
    setWindowTitle(next.isEmpty() ? QStringLiteral("Assignment history")
                                  : QStringLiteral("New assignment"));
    auto* layout = new QVBoxLayout(this);

    if (!next.isEmpty()) {
        auto* question =
            new QLabel(QStringLiteral("From which day is %1 your assignment?").arg(next), this);
        question->setObjectName(QStringLiteral("lblAssignmentQuestion"));
        question->setWordWrap(true);
        layout->addWidget(question);
        m_fromDay = new QRadioButton(QStringLiteral("&From"), this);
        m_fromDay->setObjectName(QStringLiteral("rbFromDay"));
        m_fromDay->setChecked(true);
        m_effective = new QDateEdit(qdateFromSerial(suggestedDay), this);
        m_effective->setObjectName(QStringLiteral("deEffective"));
        m_effective->setLocale(locale);
        m_effective->setDateRange(qdateFromSerial(MinViewDate), qdateFromSerial(MaxViewDate));
        m_effective->setDisplayFormat(numericShortDatePattern(locale));
        m_effective->setCalendarPopup(true);
        m_effective->calendarWidget()->setFirstDayOfWeek(Qt::Sunday);
        // Typing starts at the first part of the date, however the field got the focus.
        m_effective->setCurrentSectionIndex(0);
        auto* fromRow = new QHBoxLayout;
        fromRow->addWidget(m_fromDay);
        fromRow->addWidget(m_effective, 1);
        layout->addLayout(fromRow);
        m_always =
            new QRadioButton(QStringLiteral("It was &always %1 (a correction)").arg(next), this);
        m_always->setObjectName(QStringLiteral("rbAlways"));
        layout->addWidget(m_always);
        connect(m_fromDay, &QRadioButton::toggled, m_effective, &QWidget::setEnabled);
    }

    auto* recordedBox = new QGroupBox(QStringLiteral("Changes recorded"), this);
    auto* boxLayout = new QVBoxLayout(recordedBox);
    m_changes = new QListWidget(recordedBox);
    m_changes->setObjectName(QStringLiteral("lwChanges"));
    m_remove = new QPushButton(QStringLiteral("&Remove the change"), recordedBox);
    m_remove->setObjectName(QStringLiteral("bRemoveChange"));
    m_remove->setAutoDefault(false);
    m_remove->setToolTip(QStringLiteral("The assignment after the change then holds back to the "
                                        "change before it"));
    boxLayout->addWidget(m_changes);
    boxLayout->addWidget(m_remove, 0, Qt::AlignLeft);
    layout->addWidget(recordedBox, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_remove, &QPushButton::clicked, this, &AssignmentChangeDialog::removeSelected);
    connect(m_changes, &QListWidget::currentRowChanged, this,
            [this](int row) { m_remove->setEnabled(row >= 0); });
    fillList();
    if (m_effective)
        m_effective->setFocus(Qt::OtherFocusReason);
}

void AssignmentChangeDialog::fillList() {
    m_changes->clear();
    // A change is the day after a row's last day, when the next assignment begins.
    const QList<AssignmentSpan> spans = m_kept.spans();
    for (qsizetype at = 1; at < spans.size(); ++at)
        m_changes->addItem(
            QStringLiteral("%1 → %2 from %3")
                .arg(spans[at - 1].assignment, spans[at].assignment,
                     m_locale.toString(qdateFromSerial(*spans[at].first), QLocale::ShortFormat)));
    if (m_changes->count() == 0)
        m_changes->addItem(QStringLiteral("None: the same assignment on every day"));
    const bool any = m_kept.hasChanges();
    m_changes->setEnabled(any);
    m_remove->setEnabled(any && m_changes->currentRow() >= 0);
}

void AssignmentChangeDialog::removeSelected() {
    const int row = m_changes->currentRow();
    if (row < 0 || !m_kept.hasChanges())
        return;
    m_kept = m_kept.withoutChange(row);
    ++m_removed;
    fillList();
}

AssignmentHistory AssignmentChangeDialog::history() const {
    if (m_next.isEmpty())
        return m_kept;
    if (m_always->isChecked())
        return m_kept.correctedTo(m_next);
    return m_kept.changedTo(m_next, serialFromQDate(m_effective->date()));
}

QString AssignmentChangeDialog::stepText() const {
    return AssignmentStepText(m_kept, history(), m_locale);
}

QString AssignmentStepText(const AssignmentHistory& before, const AssignmentHistory& after,
                           const QLocale& locale) {
    if (after.current() == before.current())
        return after.earlier().size() < before.earlier().size()
                   ? QStringLiteral("Remove a change of assignment")
                   : QStringLiteral("Change the assignment history");
    const QList<AssignmentSpan> spans = after.spans();
    const bool dated = spans.size() > 1 && !before.earlier().contains(after.earlier().last());
    if (!dated)
        return QStringLiteral("Correct the assignment to %1").arg(after.current());
    return QStringLiteral("Change assignment to %1 from %2")
        .arg(after.current(),
             locale.toString(qdateFromSerial(*spans.last().first), QLocale::ShortFormat));
}
