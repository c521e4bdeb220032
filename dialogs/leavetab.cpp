#include "dialogs/leavetab.h"

#include "core/calendar.h"
#include "core/clock.h"
#include "core/localformat.h"
#include "days/bankledger.h"
#include "days/banktext.h"
#include "days/schedule.h"
#include "dialogs/hourstablemodel.h"
#include "rotation/rotation.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QStringList SetupTitles{"Bank", "As of",      "Balance",   "Accrual",
                              "Cap",  "Carry-over", "Leave year"};
const QStringList RowTitles{"Period", "First day", "Last day", "Bank",    "Opening", "Forfeited",
                            "Used",   "Earned",    "Over cap", "Accrued", "Closing"};

QString amountText(const std::optional<Hundredths>& amount) {
    return amount ? hundredthsText(*amount) : QStringLiteral("none");
}

HoursTable setupTable(const QList<BankSetup>& setups) {
    HoursTable table;
    table.header = SetupTitles;
    table.numeric = {false, false, true, true, true, true, false};
    for (const BankSetup& setup : setups)
        table.rows.append({bankTitle(setup.bank), qdateFromSerial(setup.asOf).toString(Qt::ISODate),
                           hundredthsText(setup.balance), hundredthsText(setup.accrual),
                           amountText(setup.cap), amountText(setup.carryOver),
                           QStringLiteral("from ") + monthDayText(setup.yearStart)});
    return table;
}

QTableView* tableView(const QString& name, HoursTableModel* model, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setTabKeyNavigation(false);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return view;
}

QDoubleSpinBox* hoursBox(const QString& name, double minimum, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(minimum, 99999.99);
    box->setDecimals(2);
    box->setSuffix(QStringLiteral(" h"));
    return box;
}

// The form of one bank's set-up; the checks of the set-up keep it open with their sentence.
class BankSetupForm : public QDialog {
public:
    BankSetupForm(const std::optional<BankSetup>& setup, const QList<BankKind>& free,
                  DateSerial payPeriodStart, DateSerial suggestedAsOf, QWidget* parent)
        : QDialog(parent), m_payPeriodStart(payPeriodStart) {
        setObjectName(QStringLiteral("dlgBankSetup"));
        setWindowTitle(setup ? QStringLiteral("Change a bank") : QStringLiteral("Set up a bank"));
        m_bank = new QComboBox(this);
        m_bank->setObjectName(QStringLiteral("cbBank"));
        for (BankKind bank : setup ? QList<BankKind>{setup->bank} : free)
            m_bank->addItem(bankTitle(bank), static_cast<int>(bank));
        m_asOf = new QDateEdit(qdateFromSerial(setup ? setup->asOf : suggestedAsOf), this);
        m_asOf->setObjectName(QStringLiteral("deAsOf"));
        m_asOf->setDisplayFormat(numericShortDatePattern(locale()));
        m_asOf->setCalendarPopup(true);
        m_asOf->calendarWidget()->setFirstDayOfWeek(Qt::Sunday);
        // Typing starts at the first part of the date, however the field got the focus.
        m_asOf->setCurrentSectionIndex(0);
        m_balance = hoursBox(QStringLiteral("sbBalance"), -99999.99, this);
        m_accrual = hoursBox(QStringLiteral("sbAccrual"), 0, this);
        m_hasCap = new QCheckBox(QStringLiteral("&Cap"), this);
        m_cap = hoursBox(QStringLiteral("sbCap"), 0, this);
        m_hasCarryOver = new QCheckBox(QStringLiteral("Carry-&over"), this);
        m_carryOver = hoursBox(QStringLiteral("sbCarryOver"), 0, this);
        m_yearStart = new QLineEdit(this);
        m_yearStart->setObjectName(QStringLiteral("edYearStart"));
        m_yearStart->setPlaceholderText(QStringLiteral("MM-DD"));
        m_problem = new QLabel(this);
        m_problem->setObjectName(QStringLiteral("lblBankProblem"));
        m_problem->setWordWrap(true);
        m_problem->setStyleSheet(QStringLiteral("color: #b00000"));
        m_problem->hide();
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        auto* form = new QFormLayout(this);
        form->addRow(QStringLiteral("&Bank"), m_bank);
        form->addRow(QStringLiteral("&As of (a pay period's first day)"), m_asOf);
        form->addRow(QStringLiteral("Ba&lance then"), m_balance);
        form->addRow(QStringLiteral("Acc&rual a pay period"), m_accrual);
        form->addRow(m_hasCap, m_cap);
        form->addRow(m_hasCarryOver, m_carryOver);
        form->addRow(QStringLiteral("Leave &year starts"), m_yearStart);
        form->addRow(m_problem);
        form->addRow(buttons);

        const BankSetup shown = setup.value_or(BankSetup{});
        m_balance->setValue(hoursOf(shown.balance));
        m_accrual->setValue(hoursOf(shown.accrual));
        m_hasCap->setChecked(shown.cap.has_value());
        m_hasCarryOver->setChecked(shown.carryOver.has_value());
        m_carryOver->setValue(hoursOf(shown.carryOver.value_or(Hundredths{})));
        m_yearStart->setText(monthDayText(shown.yearStart));
        const auto capFor = [this, setup] {
            // Comp time is capped at 480 hours for fire protection work: the cap to offer.
            const auto bank = static_cast<BankKind>(m_bank->currentData().toInt());
            if (setup && setup->cap)
                return *setup->cap;
            return bank == BankKind::Comp ? FireProtectionCompCap : Hundredths{};
        };
        m_cap->setValue(hoursOf(capFor()));
        if (!setup)
            connect(m_bank, &QComboBox::currentIndexChanged, this, [this, capFor] {
                const bool comp =
                    static_cast<BankKind>(m_bank->currentData().toInt()) == BankKind::Comp;
                m_hasCap->setChecked(comp);
                m_cap->setValue(hoursOf(capFor()));
            });
        if (!setup && static_cast<BankKind>(m_bank->currentData().toInt()) == BankKind::Comp)
            m_hasCap->setChecked(true);
        connect(m_hasCap, &QCheckBox::toggled, m_cap, &QWidget::setEnabled);
        connect(m_hasCarryOver, &QCheckBox::toggled, m_carryOver, &QWidget::setEnabled);
        m_cap->setEnabled(m_hasCap->isChecked());
        m_carryOver->setEnabled(m_hasCarryOver->isChecked());
        connect(buttons, &QDialogButtonBox::accepted, this, &BankSetupForm::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }

    void accept() override {
        BankSetupInput input;
        input.bank = bankName(static_cast<BankKind>(m_bank->currentData().toInt()));
        input.asOf = m_asOf->date().toString(Qt::ISODate);
        input.balance = m_balance->value();
        input.accrual = m_accrual->value();
        if (m_hasCap->isChecked())
            input.cap = m_cap->value();
        if (m_hasCarryOver->isChecked())
            input.carryOver = m_carryOver->value();
        input.yearStart = m_yearStart->text().trimmed();
        const BankSetupCheck check = checkBankSetup(input, m_payPeriodStart);
        if (!check.setup) {
            m_problem->setText(check.problems.join(u' '));
            m_problem->show();
            adjustSize();
            return;
        }
        m_result = *check.setup;
        QDialog::accept();
    }

    const BankSetup& result() const { return m_result; }

private:
    DateSerial m_payPeriodStart;
    BankSetup m_result;
    QComboBox* m_bank = nullptr;
    QDateEdit* m_asOf = nullptr;
    QDoubleSpinBox* m_balance = nullptr;
    QDoubleSpinBox* m_accrual = nullptr;
    QCheckBox* m_hasCap = nullptr;
    QDoubleSpinBox* m_cap = nullptr;
    QCheckBox* m_hasCarryOver = nullptr;
    QDoubleSpinBox* m_carryOver = nullptr;
    QLineEdit* m_yearStart = nullptr;
    QLabel* m_problem = nullptr;
};

QPushButton* button(const QString& text, const QString& name, QWidget* parent) {
    auto* made = new QPushButton(text, parent);
    made->setObjectName(name);
    made->setAutoDefault(false);
    return made;
}

} // namespace

LeaveTab::LeaveTab(const Schedule& schedule, ChangeBanks changeBanks, QWidget* parent)
    : QWidget(parent), m_schedule(schedule), m_changeBanks(std::move(changeBanks)) {
    m_setups = new HoursTableModel(SetupTitles, this);
    m_rows = new HoursTableModel(RowTitles, this);
    m_setupView = tableView(QStringLiteral("tvBanks"), m_setups, this);
    m_setupView->setMaximumHeight(m_setupView->verticalHeader()->defaultSectionSize() * 5 + 8);
    m_rowsView = tableView(QStringLiteral("tvBalances"), m_rows, this);
    // The dialog around the tab takes Y, P, W, T, S, L, F and V for its own.
    auto* add = button(QStringLiteral("Set &up a bank\u2026"), QStringLiteral("bSetUpBank"), this);
    m_change = button(QStringLiteral("C&hange\u2026"), QStringLiteral("bChangeBank"), this);
    m_remove = button(QStringLiteral("&Remove"), QStringLiteral("bRemoveBank"), this);
    m_projected = new QLabel(this);
    m_projected->setObjectName(QStringLiteral("lblProjected"));
    m_projected->setWordWrap(true);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("lblBanksProblem"));
    m_problem->setWordWrap(true);
    m_problem->hide();

    auto* actions = new QHBoxLayout;
    actions->addWidget(add);
    actions->addWidget(m_change);
    actions->addWidget(m_remove);
    actions->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_setupView);
    layout->addLayout(actions);
    layout->addWidget(m_problem);
    layout->addWidget(m_rowsView, 1);
    layout->addWidget(m_projected);

    connect(add, &QPushButton::clicked, this, [this] { setUp(-1); });
    connect(m_change, &QPushButton::clicked, this,
            [this] { setUp(m_setupView->currentIndex().row()); });
    connect(m_setupView, &QTableView::activated, this,
            [this](const QModelIndex& index) { setUp(index.row()); });
    connect(m_remove, &QPushButton::clicked, this, &LeaveTab::removeSelected);
    add->setEnabled(static_cast<bool>(m_changeBanks));
    refreshSetups();
}

void LeaveTab::refreshSetups() {
    const QList<BankSetup> setups = m_schedule.bankSetups();
    m_setups->setTable(setupTable(setups));
    const bool any = !setups.isEmpty() && m_changeBanks;
    m_change->setEnabled(any);
    m_remove->setEnabled(any);
    if (!setups.isEmpty() && !m_setupView->currentIndex().isValid())
        m_setupView->setCurrentIndex(m_setups->index(0, 0));
}

void LeaveTab::showYear(int year) {
    m_year = year;
    refreshSetups();
    const QList<BankPeriodRow> rows =
        m_schedule.banks().rows(serialFromYmd(year, 1, 1), serialFromYmd(year, 12, 31));
    HoursTable shown = bankTable(rows);
    // Set apart as people read them: the periods still to come are what the bank will hold if
    // nothing else is recorded.
    int projected = -1;
    for (qsizetype at = 0; at < rows.size(); ++at)
        if (isProjected(rows[at], today())) {
            shown.rows[at][0] += QStringLiteral(" (projected)");
            if (projected < 0)
                projected = static_cast<int>(at);
        }
    m_rows->setTable(shown);
    m_projected->setText(
        rows.isEmpty()
            ? QStringLiteral("Set up the banks your department keeps: their balance on a pay "
                             "stub and what each pay period adds.")
        : projected < 0 ? QString()
                        : QStringLiteral("The periods marked projected end after today: they show "
                                         "what the banks will hold if nothing else is recorded."));
    m_projected->setVisible(!m_projected->text().isEmpty());
}

HoursTable LeaveTab::table() const {
    return bankTable(
        m_schedule.banks().rows(serialFromYmd(m_year, 1, 1), serialFromYmd(m_year, 12, 31)));
}

void LeaveTab::setUp(int row) {
    if (!m_changeBanks)
        return;
    QList<BankSetup> setups = m_schedule.bankSetups();
    QList<BankKind> free;
    for (BankKind bank : AllBanks)
        if (std::none_of(setups.cbegin(), setups.cend(),
                         [bank](const BankSetup& setup) { return setup.bank == bank; }))
            free.append(bank);
    const bool change = row >= 0 && row < setups.size();
    if (!change && free.isEmpty())
        return;
    BankSetupForm form(change ? std::optional(setups[row]) : std::nullopt, free,
                       m_schedule.payPeriodStart(),
                       PayPeriodFirstDay(today(), m_schedule.payPeriodStart()), this);
    if (form.exec() != QDialog::Accepted)
        return;
    if (change)
        setups[row] = form.result();
    else
        setups.append(form.result());
    const QString text =
        (change ? QStringLiteral("Change the %1 bank") : QStringLiteral("Set up the %1 bank"))
            .arg(bankTitle(form.result().bank).toLower());
    const StoreResult stored = m_changeBanks(setups, text);
    m_problem->setText(stored.ok ? QString() : stored.error);
    m_problem->setVisible(!stored.ok);
}

void LeaveTab::removeSelected() {
    QList<BankSetup> setups = m_schedule.bankSetups();
    const int row = m_setupView->currentIndex().row();
    if (!m_changeBanks || row < 0 || row >= setups.size())
        return;
    const QString text =
        QStringLiteral("Remove the %1 bank").arg(bankTitle(setups[row].bank).toLower());
    setups.removeAt(row);
    const StoreResult stored = m_changeBanks(setups, text);
    m_problem->setText(stored.ok ? QString() : stored.error);
    m_problem->setVisible(!stored.ok);
}
