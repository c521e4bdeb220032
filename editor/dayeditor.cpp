#include "editor/dayeditor.h"

#include "days/banktext.h"
#include "days/daytext.h"
#include "editor/daydialogs.h"
#include "editor/entryform.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
    auto* made = new QPushButton(text, parent);
    made->setObjectName(QLatin1String(name));
    // Return in the list edits the entry; it must not also press a default button.
    made->setAutoDefault(false);
    return made;
}

} // namespace

DayEditor::DayEditor(DayEditing& editing, const Schedule& schedule, DateSerial day, QWidget* parent)
    : QDialog(parent), m_editing(editing), m_schedule(schedule), m_day(day) {
    setObjectName(QStringLiteral("dlgDay"));
    setWindowTitle(QLocale().toString(qdateFromSerial(day), QLocale::LongFormat));
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblDaySummary"));
    m_balances = new QLabel(this);
    m_balances->setObjectName(QStringLiteral("lblBankBalances"));
    m_balances->setWordWrap(true);
    m_unavailable = new QLabel(this);
    m_unavailable->setObjectName(QStringLiteral("lblUnavailable"));
    m_unavailable->setWordWrap(true);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("tvEntries"));
    m_table->setModel(&m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_add = button(QStringLiteral("&Add\u2026"), "bAdd", this);
    m_edit = button(QStringLiteral("&Edit\u2026"), "bEdit", this);
    m_delete = button(QStringLiteral("&Delete"), "bDelete", this);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    close->button(QDialogButtonBox::Close)->setAutoDefault(false);

    auto* actions = new QHBoxLayout;
    actions->addWidget(m_add);
    actions->addWidget(m_edit);
    actions->addWidget(m_delete);
    actions->addStretch(1);
    actions->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_balances);
    layout->addWidget(m_unavailable);
    layout->addWidget(m_table, 1);
    layout->addLayout(actions);

    connect(m_add, &QPushButton::clicked, this, &DayEditor::addEntry);
    connect(m_edit, &QPushButton::clicked, this, &DayEditor::editEntry);
    connect(m_delete, &QPushButton::clicked, this, &DayEditor::deleteEntry);
    connect(m_table, &QTableView::activated, this, &DayEditor::editEntry);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(&m_schedule, &Schedule::changed, this, [this](DateSerial first, DateSerial last) {
        if (first <= m_day && m_day <= last)
            reload();
    });
    // The keys of the Calendar page's menu, here too: that page's own keys stop at its window.
    QUndoStack* history = m_editing.history();
    const auto keys = [this](const QList<QKeySequence>& sequences, auto step) {
        for (const QKeySequence& sequence : sequences)
            connect(new QShortcut(sequence, this), &QShortcut::activated, this, step);
    };
    keys({QKeySequence(Qt::CTRL | Qt::Key_Z)}, [history] { history->undo(); });
    keys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
         [history] { history->redo(); });
    reload();
    // Wide enough for every column without a scroll bar; the stretched last one keeps at least
    // the header's default size.
    const QAbstractItemView* view = m_table; // where the column's size hint is public
    const QHeaderView* header = m_table->horizontalHeader();
    int table = 2 * m_table->frameWidth();
    for (int column = 0; column < m_model.columnCount(); ++column)
        table += std::max({view->sizeHintForColumn(column), header->sectionSizeHint(column),
                           column == DayEntriesModel::Details ? header->defaultSectionSize() : 0});
    const QMargins margins = layout->contentsMargins();
    resize(std::max(340, table + margins.left() + margins.right()), 300);
    if (m_model.rowCount() > 0)
        m_table->setFocus(Qt::OtherFocusReason);
    else
        m_add->setFocus(Qt::OtherFocusReason);
}

void DayEditor::reload() {
    const int row = currentRow();
    const DayFacts& day = m_schedule.day(m_day);
    m_model.setDay(day);
    m_summary->setText(DaySummary(day));
    const QString balances = bankBalancesText(day);
    m_balances->setText(balances);
    m_balances->setVisible(!balances.isEmpty());
    const bool available = m_editing.store().status() != EntryStore::Status::Unavailable;
    m_unavailable->setText(m_editing.store().problem());
    m_unavailable->setVisible(!available);
    m_add->setEnabled(available);
    const bool any = m_model.rowCount() > 0;
    m_edit->setEnabled(available && any);
    m_delete->setEnabled(available && any);
    if (any)
        m_table->selectRow(std::clamp(row, 0, m_model.rowCount() - 1));
    m_table->resizeColumnsToContents();
}

QString DayEditor::bankBalancesText(const DayFacts& day) const {
    // What each bank the day's leave draws from holds after the day: a member checks it when
    // the leave is recorded, and a bank that goes below zero is said so.
    QStringList lines;
    QList<BankKind> banks;
    for (qsizetype at = 0; at < day.entries.size(); ++at) {
        const DayEntry& entry = day.entries[at];
        if (!day.fits[at] || entry.kind != EntryKind::Leave)
            continue;
        const std::optional<BankKind> bank = bankOfLeave(entry.leaveType);
        if (bank && !banks.contains(*bank))
            banks.append(*bank);
    }
    for (BankKind bank : banks)
        if (const std::optional<Hundredths> after = m_schedule.banks().balanceAfter(bank, m_day))
            lines << bankAfterDayText(bank, *after);
    return lines.join(u'\n');
}

int DayEditor::currentRow() const {
    const QModelIndex current = m_table->currentIndex();
    return current.isValid() ? current.row() : 0;
}

void DayEditor::addEntry() {
    if (!m_add->isEnabled())
        return;
    returnFocusAfter(openNewEntry(m_editing, m_schedule, m_day, std::nullopt, this), m_add);
}

void DayEditor::editEntry() {
    if (!m_edit->isEnabled() || m_model.rowCount() == 0 || dayDialogOpen(this))
        return;
    returnFocusAfter(openEntryForm(m_editing, m_schedule, m_model.entryAt(currentRow()), this),
                     m_table);
}

void DayEditor::returnFocusAfter(QDialog* form, QWidget* focusAfter) {
    if (!form)
        return;
    // Back to where the form was opened from; not every platform activates the dialog below.
    connect(form, &QDialog::finished, focusAfter, [this, focusAfter] {
        activateWindow();
        focusAfter->setFocus(Qt::OtherFocusReason);
    });
}

void DayEditor::deleteEntry() {
    if (!m_delete->isEnabled() || m_model.rowCount() == 0)
        return;
    const StoreResult result = m_editing.remove(m_model.entryAt(currentRow()));
    if (!result.ok) {
        m_unavailable->setText(result.error);
        m_unavailable->show();
    }
}

void DayEditor::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && m_table->hasFocus()) {
        deleteEntry();
        return;
    }
    if (event->key() == Qt::Key_Insert) {
        addEntry();
        return;
    }
    QDialog::keyPressEvent(event);
}
