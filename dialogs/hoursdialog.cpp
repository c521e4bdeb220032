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

namespace {

const QStringList PayPeriodTitles{"Period", "First day",   "Last day",  "Scheduled", "Worked",
                                  "Leave",  "Traded away", "Traded in", "Extra",     "FLSA"};
const QStringList WorkPeriodTitles{"First day",  "Last day",  "Days",
                                   "FLSA hours", "Threshold", "Overtime"};
const QStringList TradeTitles{"With", "They worked", "I worked", "Balance", "Status"};

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

    m_payPeriods = new HoursTableModel(PayPeriodTitles, this);
    m_workPeriods = new HoursTableModel(WorkPeriodTitles, this);
    m_trades = new HoursTableModel(TradeTitles, this);
    m_lists = new QTabWidget(this);
    m_lists->setObjectName(QStringLiteral("tabHours"));
    m_payPeriodView = tableView(QStringLiteral("tvPayPeriods"), m_payPeriods, m_lists);
    m_workPeriodView = tableView(QStringLiteral("tvWorkPeriods"), m_workPeriods, m_lists);
    m_tradeView = tableView(QStringLiteral("tvTrades"), m_trades, m_lists);
    m_lists->addTab(m_payPeriodView, QStringLiteral("&Pay periods"));
    m_lists->addTab(m_workPeriodView, QStringLiteral("&Work periods"));
    m_lists->addTab(m_tradeView, QStringLiteral("&Trades"));
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
    const QList<PayPeriodHours> payPeriods = m_schedule.payPeriods(first, last);
    const QList<WorkPeriodHours> workPeriods = m_schedule.workPeriods(first, last);
    m_payPeriods->setTable(payPeriodTable(payPeriods));
    m_workPeriods->setTable(workPeriodTable(workPeriods));
    m_trades->setTable(tradeTable(m_schedule.trades(), true));
    // What the rows leave out is said under them, never dropped in silence.
    const DateSerial from = std::min(payPeriods.constFirst().first, workPeriods.constFirst().first);
    const DateSerial to = std::max(payPeriods.constLast().last, workPeriods.constLast().last);
    m_notCounted->setText(NotCountedText(m_schedule.notCounted(from, to)));
    m_notCounted->setVisible(!m_notCounted->text().isEmpty());
    m_leave->showYear(year());
    selectRow(m_payPeriodView, payRow);
    selectRow(m_workPeriodView, workRow);
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
        table = tradeTable(m_schedule.trades());
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
