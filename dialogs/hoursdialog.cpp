#include "dialogs/hoursdialog.h"

#include "core/calendar.h"
#include "core/localformat.h"
#include "days/entrystore.h"
#include "days/hourstable.h"
#include "days/schedule.h"
#include "dialogs/hourstablemodel.h"
#include "export/outputfile.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The rule of FLSA hours, said once for the column and the line under the pay periods.
const QString FlsaRule = QStringLiteral(
    "FLSA hours are the scheduled hours less leave plus extra work; a trade counts for the member "
    "who was scheduled");

const QList<HoursColumn> PayPeriodColumns{
    {"Period", "The pay period, as the grid labels it"},
    {"First day", "The period's first day"},
    {"Last day", "The period's last day"},
    {"Scheduled", "Hours of your own duty days by the rotation"},
    {"Worked", "Hours you worked: scheduled, less traded away and leave, plus traded in and extra"},
    {"Leave", "Hours of your shifts on leave"},
    {"Traded away", "Hours of your shifts that someone else worked for you"},
    {"Traded in", "Hours you worked for someone else"},
    {"Extra", "Overtime and hire-backs, holdovers, and training beyond your shift"},
    {"FLSA", FlsaRule},
};
const QList<HoursColumn> WorkPeriodColumns{
    {"First day", "The work period's first day"},
    {"Last day", "The work period's last day"},
    {"Days", "The length of the work period"},
    {"FLSA hours", FlsaRule},
    {"Threshold", "The FLSA hours due before overtime: 212 in 28 days, in proportion"},
    {"Overtime", "The FLSA hours above the threshold"},
};
const QList<HoursColumn> TradeColumns{
    {"With", "The member you traded with"},
    {"They worked", "Hours they worked your shifts"},
    {"I worked", "Hours you worked for them"},
    {"Balance",
     "I worked less they worked: above zero they owe you hours, below zero you owe them"},
    {"Status", "Open until the hours are even"},
};

const QString PayPeriodLine =
    FlsaRule + QStringLiteral(": hours traded away still count for you, hours "
                              "you work for someone else do not.");
const QString WorkPeriodLine =
    QStringLiteral("FLSA hours above the threshold are overtime: 212 hours in 28 days, in "
                   "proportion for a shorter work period.");
const QString TradeLine = QStringLiteral(
    "Balance is the hours you worked for them less the hours they worked for you: below zero, "
    "you owe them.");

QTableView* tableView(const QString& name, HoursTableModel* model, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setTabKeyNavigation(false); // Tab leaves the table, as everywhere else in the dialog
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return view;
}

// A tab of the lists: the table, and one line under it that says how to read it.
struct TablePage {
    QWidget* page = nullptr;
    QTableView* view = nullptr;
    QLabel* line = nullptr;
};

TablePage tablePage(const QString& name, HoursTableModel* model, const QString& line,
                    QTabWidget* tabs, const QString& title) {
    TablePage made;
    made.page = new QWidget(tabs);
    made.view = tableView(name, model, made.page);
    made.line = new QLabel(line, made.page);
    made.line->setObjectName(name + QStringLiteral("Line"));
    made.line->setWordWrap(true);
    auto* layout = new QVBoxLayout(made.page);
    layout->addWidget(made.view, 1);
    layout->addWidget(made.line);
    tabs->addTab(made.page, title);
    return made;
}

void selectRow(QTableView* view, int row) {
    if (row < 0 || row >= view->model()->rowCount())
        return;
    const QModelIndex index = view->model()->index(row, 0);
    view->setCurrentIndex(index);
    view->scrollTo(index);
}

} // namespace

HoursDialog::HoursDialog(const Schedule& schedule, DateSerial selectedDay, QWidget* parent,
                         LeaveTab::ChangeBanks changeBanks)
    : QDialog(parent), m_schedule(schedule) {
    setObjectName(QStringLiteral("dlgHours"));
    setWindowTitle(QStringLiteral("Hours"));
    const HoursSettings settings = schedule.hoursSettings();

    m_year = new QSpinBox(this);
    m_year->setObjectName(QStringLiteral("seHoursYear"));
    m_year->setRange(ymdFromSerial(MinViewDate).year, ymdFromSerial(MaxViewDate).year);
    m_year->setValue(ymdFromSerial(selectedDay).year);

    m_payPeriods = new HoursTableModel(PayPeriodColumns, locale(), this);
    m_workPeriods = new HoursTableModel(WorkPeriodColumns, locale(), this);
    m_trades = new HoursTableModel(TradeColumns, locale(), this);
    m_lists = new QTabWidget(this);
    m_lists->setObjectName(QStringLiteral("tabHours"));
    m_payPeriodView = tablePage(QStringLiteral("tvPayPeriods"), m_payPeriods, PayPeriodLine,
                                m_lists, QStringLiteral("&Pay periods"))
                          .view;
    m_workPeriodView = tablePage(QStringLiteral("tvWorkPeriods"), m_workPeriods, WorkPeriodLine,
                                 m_lists, QStringLiteral("&Work periods"))
                           .view;
    const TablePage trades = tablePage(QStringLiteral("tvTrades"), m_trades, TradeLine, m_lists,
                                       QStringLiteral("&Trades"));
    m_tradeView = trades.view;
    m_tradeLine = trades.line;
    m_leave = new LeaveTab(schedule, std::move(changeBanks), m_lists);
    m_lists->addTab(m_leave, QStringLiteral("L&eave"));

    m_shiftStart = new QTimeEdit(QTime(settings.shiftStart / 60, settings.shiftStart % 60), this);
    m_shiftStart->setObjectName(QStringLiteral("teShiftStart"));
    m_shiftStart->setDisplayFormat(QStringLiteral("HH:mm"));
    m_workPeriodDays = new QSpinBox(this);
    m_workPeriodDays->setObjectName(QStringLiteral("seWorkPeriodDays"));
    m_workPeriodDays->setRange(ShortestWorkPeriod, LongestWorkPeriod);
    m_workPeriodDays->setSuffix(QStringLiteral(" days"));
    m_workPeriodDays->setValue(settings.workPeriodDays);
    m_workPeriodStart = new QDateEdit(
        qdateFromSerial(settings.workPeriodStart.value_or(schedule.payPeriodStart())), this);
    m_workPeriodStart->setObjectName(QStringLiteral("deWorkPeriodStart"));
    m_workPeriodStart->setDateRange(qdateFromSerial(MinViewDate), qdateFromSerial(MaxViewDate));
    m_workPeriodStart->setDisplayFormat(numericShortDatePattern(m_workPeriodStart->locale()));
    m_workPeriodStart->setCalendarPopup(true);
    m_workPeriodStart->calendarWidget()->setFirstDayOfWeek(Qt::Sunday);

    auto* top = new QFormLayout;
    top->addRow(QStringLiteral("&Year:"), m_year);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Shift &starts:"), m_shiftStart);
    form->addRow(QStringLiteral("Work-period &length:"), m_workPeriodDays);
    form->addRow(QStringLiteral("&First day of a work period:"), m_workPeriodStart);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("lblHoursProblem"));
    m_problem->setWordWrap(true);
    m_problem->setText(schedule.problem());
    m_problem->setVisible(!m_problem->text().isEmpty());
    m_notCounted = new QLabel(this);
    m_notCounted->setObjectName(QStringLiteral("lblNotCounted"));
    m_notCounted->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* save =
        buttons->addButton(QStringLiteral("Sa&ve as CSV…"), QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("btnSaveCsv"));
    save->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(save, &QPushButton::clicked, this, &HoursDialog::saveCsv);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_lists, 1);
    layout->addWidget(m_notCounted);
    layout->addLayout(form);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);

    connect(m_year, &QSpinBox::valueChanged, this, &HoursDialog::refresh);
    connect(m_shiftStart, &QTimeEdit::timeChanged, this, &HoursDialog::storeSettings);
    connect(m_workPeriodDays, &QSpinBox::valueChanged, this, &HoursDialog::storeSettings);
    connect(m_workPeriodStart, &QDateEdit::dateChanged, this, &HoursDialog::storeSettings);
    connect(&schedule, &Schedule::changed, this, &HoursDialog::refresh);
    connect(m_tradeView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &HoursDialog::showTradeBalance);

    refresh();
    // Open on the periods of the selected day.
    const QString selected = qdateFromSerial(selectedDay).toString(Qt::ISODate);
    const auto holding = [&selected](const QList<QStringList>& rows, int firstColumn) {
        for (qsizetype row = 0; row < rows.size(); ++row)
            if (rows[row].value(firstColumn) <= selected &&
                selected <= rows[row].value(firstColumn + 1))
                return static_cast<int>(row);
        return -1;
    };
    selectRow(m_payPeriodView, holding(m_payPeriods->table().rows, 1));
    selectRow(m_workPeriodView, holding(m_workPeriods->table().rows, 0));
    m_payPeriodView->setFocus();
    resize(820, 560);
}

int HoursDialog::year() const {
    return m_year->value();
}

void HoursDialog::refresh() {
    const DateSerial first = serialFromYmd(year(), 1, 1);
    const DateSerial last = serialFromYmd(year(), 12, 31);
    const int payRow = m_payPeriodView->currentIndex().row();
    const int workRow = m_workPeriodView->currentIndex().row();
    const int tradeRow = m_tradeView->currentIndex().row();
    const QList<PayPeriodHours> payPeriods = m_schedule.payPeriods(first, last);
    const QList<WorkPeriodHours> workPeriods = m_schedule.workPeriods(first, last);
    m_payPeriods->setTable(payPeriodTable(payPeriods));
    m_workPeriods->setTable(workPeriodTable(workPeriods));
    m_ledger = m_schedule.trades();
    m_trades->setTable(tradeTable(m_ledger, true));
    // What the rows leave out is said under them, never dropped in silence.
    const DateSerial from = std::min(payPeriods.constFirst().first, workPeriods.constFirst().first);
    const DateSerial to = std::max(payPeriods.constLast().last, workPeriods.constLast().last);
    m_notCounted->setText(NotCountedText(m_schedule.notCounted(from, to), locale()));
    m_notCounted->setVisible(!m_notCounted->text().isEmpty());
    m_leave->showYear(year());
    selectRow(m_payPeriodView, payRow);
    selectRow(m_workPeriodView, workRow);
    selectRow(m_tradeView, std::max(0, tradeRow));
    showTradeBalance();
}

void HoursDialog::showTradeBalance() {
    // The selected partner's balance in words; the rule of the column without one.
    const int row = m_tradeView->currentIndex().row();
    m_tradeLine->setText(row >= 0 && row < m_ledger.size()
                             ? tradeBalanceSentence(m_ledger[row]) + QLatin1Char('.')
                             : TradeLine);
}

void HoursDialog::storeSettings() {
    HoursSettings settings;
    settings.shiftStart = m_shiftStart->time().hour() * 60 + m_shiftStart->time().minute();
    settings.workPeriodDays = m_workPeriodDays->value();
    settings.workPeriodStart = serialFromQDate(m_workPeriodStart->date());
    EntryStore* store = m_schedule.store();
    const StoreResult stored =
        store ? store->setHoursSettings(settings) : StoreResult{false, QString()};
    m_problem->setText(stored.ok ? QString() : stored.error);
    m_problem->setVisible(!stored.ok);
    refresh();
}

void HoursDialog::saveCsv() {
    const HoursTableModel* shown[] = {m_payPeriods, m_workPeriods, m_trades, nullptr};
    const QString names[] = {QStringLiteral("hours-%1.csv").arg(year()),
                             QStringLiteral("work-periods-%1.csv").arg(year()),
                             QStringLiteral("trades.csv"),
                             QStringLiteral("balances-%1.csv").arg(year())};
    const int list = m_lists->currentIndex();
    QFileDialog chooser(this, QStringLiteral("Save as CSV"), QDir::home().filePath(names[list]),
                        QStringLiteral("CSV files (*.csv)"));
    chooser.setObjectName(QStringLiteral("dlgSaveCsv"));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setDefaultSuffix(QStringLiteral("csv"));
    const int answer = chooser.exec();
    if (answer != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    HoursTable table = shown[list] ? shown[list]->table() : m_leave->table();
    if (list == 2) // the CSV of the ledger has no status column, as on the command line
        table = tradeTable(m_ledger);
    QString error;
    const bool written =
        WriteOutput(chooser.selectedFiles().first(), csvText(table).toUtf8(), &error);
    m_problem->setText(written ? QString() : error);
    m_problem->setVisible(!written);
    if (written)
        emit fileSaved(chooser.selectedFiles().first());
}

HoursDialog* OpenHoursDialog(QWidget* parent, const Schedule& schedule, DateSerial selectedDay,
                             LeaveTab::ChangeBanks changeBanks) {
    auto* dialog = new HoursDialog(schedule, selectedDay, parent, std::move(changeBanks));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}
