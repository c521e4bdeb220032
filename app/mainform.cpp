#include "app/mainform.h"

#include "app/quitkey.h"
#include "core/clock.h"
#include "days/databasefilewatch.h"
#include "days/daytext.h"
#include "days/entrystore.h"
#include "days/hours.h"
#include "dialogs/assignmentdialog.h"
#include "dialogs/exportdialog.h"
#include "dialogs/hoursdialog.h"
#include "dialogs/printsheet.h"
#include "dialogs/publishdialog.h"
#include "dialogs/publishing.h"
#include "editor/daydialogs.h"
#include "editor/dayediting.h"
#include "editor/entryform.h"
#include "monthview/monthgrid.h"
#include "platform/appdatafolder.h"
#include "platform/errorreport.h"
#include "settings/settingsfile.h"
#include "settings/settingslocation.h"
#include "state/proportions.h"
#include "ui/docklayout.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

#include <cmath>

namespace {

// The month buttons wait this long after the press, then repeat at the interval.
constexpr int MonthRepeatDelayMs = 600;
constexpr int MonthRepeatIntervalMs = 100;

// The window's outer size at start-up, frame and title bar included.
constexpr QSize StartupOuterSize(350, 640);

// Long enough to be read after the dialog closes, short enough not to hide the day for long.
constexpr int SavedNoticeMs = 4000;
const QString SavedNotice = QStringLiteral("Saved %1");

} // namespace

TMainForm::TMainForm(const StartupEnvironment& environment, QWidget* parent)
    : QWidget(parent), m_environment(environment) {
    // Opening reads nothing when no entry was ever saved: the file does not exist yet.
    m_store = new EntryStore(daysFilePath(m_environment.dataBase), this);
    m_schedule = new Schedule(m_store, this);
    m_editing = new DayEditing(*m_store, this);
    m_publishing = new Publishing(*m_store, *m_schedule, this);
    m_editing->setCurrentAssignmentWriter(
        [this](const QString& assignment) { return writeCurrentAssignment(assignment); });
    m_daysWatch = new DatabaseFileWatch(m_store->path(), this);
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setObjectName(QStringLiteral("tmStatusNotice"));
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(SavedNoticeMs);
    new QuitKey(this);
    compose();
    collectPainterControls();
    bindEvents();
    m_calendarMenu = new CalendarMenu(
        tabCalendar, gloCal,
        {[this] { gloCalEditDay(); }, [this] { gloCalHours(); }, [this] { gloCalAssignments(); },
         [this] { gloCalPrint(); }, [this] { gloCalSaveAsPdf(); }, [this] { gloCalExportIcs(); },
         [this] { gloCalPublish(); }, [this](EntryKind kind) { gloCalNewEntry(kind); }},
        m_editing->history());
    m_composed = true;
    // The start-up size from the beginning: laid out at the composition size first, the texts
    // would be measured in font sizes that are never shown.
    resize(StartupOuterSize);
    // The window reports its size before start-up has run: the refresh must cope with the
    // zeroed state.
    FormResize();
    FormCreate();
    // The construction ends with one more resize notification, so the layout and the font
    // sizes fit the final window size whatever came before.
    FormResize();
}

TMainForm::~TMainForm() {
    // Closing moves the focus, whose handlers need the whole window: close while it still is.
    hide();
    // Before the store and the schedule it reads, which were made first.
    delete m_publishing;
}

void TMainForm::collectPainterControls() {
    m_header.calendarTitle = lblToolbar1;
    m_header.settingsTitle = lblToolbar2;
    m_header.helpTitle = lblToolbar3;
    m_header.aboutTitle = lblToolbar4;
    m_header.settingsBack = sbBack2;
    m_header.helpBack = sbBack3;
    m_header.aboutBack = sbBack4;
    m_header.helpTitleBar = rectToolbar3;
    m_header.monthName = lblMonthName;
    m_header.monthNameBar = rectMonthName;
    m_header.weekdays = lblDOW;
    m_header.weekdayBar = rectDaysOfWeek;
    m_header.status = lblStatus;
    m_header.footer = rectFooter;
    m_header.today = bToday;
    m_header.footerDate = deDate;
    m_header.payPeriodEditor = dePPStart;

    m_settings.title = lblToolbar2;
    m_settings.aboutTitle = lblToolbar4;
    m_settings.colorList = ccbColor;
    m_settings.payPeriodEditor = dePPStart;
    m_settings.save = bSave;
    m_settings.page = rectSettings;
    m_settings.captions = {lblPlatoon, lblPaydays, lblDebitDays, lblPayPeriods};
    m_settings.colorButtons = {bAPlt, bBPlt, bXPlt, bLdTr, bBkGr};
    m_settings.assignment = cbPlt;
    m_settings.paydays = swPaydays;
    m_settings.debitDays = swDebitDays;
    m_settings.payPeriods = swPayPeriods;
    m_settings.agency = edAgency;

    m_about = {rectAbout, lblAbout, sbHelp1, sbHelp2};

    // Screen readers hear what the colours and the status line tell; the text is composed only
    // when a reader asks, so painting stays cheap.
    for (int k = 0; k < GridDayCount; ++k) {
        const auto cell = static_cast<size_t>(k);
        gR[cell]->setAccessibleTextProvider([this, k, cell] {
            if (k > GridTags::LastNumberedCell)
                return QStringLiteral("Legend: crew %1").arg(gT[cell]->text());
            return DayDescription(m_schedule->day(m_state.GridDates[cell]), m_state.Format.locale,
                                  m_schedule->currentAssignment());
        });
    }
}

void TMainForm::bindEvents() {
    connect(tabCtrl, &TabControl::activePageChanged, this, &TMainForm::tabCtrlChange);
    connect(deDate, &DateEdit::pickerOpened, this, &TMainForm::deDateOpenPicker);
    connect(deDate, &DateEdit::pickerClosed, this, &TMainForm::deDateClosePicker);
    connect(bToday, &QPushButton::clicked, this, &TMainForm::bTodayClick);
    connect(bPrev, &QPushButton::clicked, this, &TMainForm::bPrevClick);
    connect(bNext, &QPushButton::clicked, this, &TMainForm::bNextClick);
    connect(gloCal, &GridPanel::longPressed, this, &TMainForm::gloCalGesture);
    for (Rectangle* cell : gR) {
        connect(cell, &Rectangle::clicked, this, &TMainForm::gR00Click);
        connect(cell, &Rectangle::doubleClicked, this, &TMainForm::gR00DblClick);
    }
    connect(m_schedule, &Schedule::changed, this, &TMainForm::ScheduleChanged);
    // The subscribed calendar file follows the user's days; the settings follow on Save.
    connect(m_store, &EntryStore::changed, this, &TMainForm::rewriteKeptCalendar);
    connect(m_store, &EntryStore::changed, m_publishing, &Publishing::daysChanged);
    connect(m_editing, &DayEditing::refused, this,
            [this](const QString& message) { reportError(this, message); });
    // Another window's change shows here without a click; the store tells changes of its own.
    connect(m_daysWatch, &DatabaseFileWatch::touched, m_store, &EntryStore::checkForOutsideChanges);
    connect(m_noticeTimer, &QTimer::timeout, this, [this] {
        m_state.StatusNotice.clear();
        ShowStatus(m_header, m_state, *m_schedule);
    });
    for (SpeedButton* back : {sbBack2, sbBack3, sbBack4})
        connect(back, &QPushButton::clicked, this, &TMainForm::sbBack2Click);
    connect(bSave, &QPushButton::clicked, this, &TMainForm::bSaveClick);
    connect(ccbColor, &PopupComboBox::popupOpened, this, &TMainForm::ccbColorPopup);
    connect(ccbColor, &PopupComboBox::popupClosed, this, &TMainForm::ccbColorClosePopup);
    connect(dePPStart, &DateEdit::pickerOpened, this, &TMainForm::dePPStartOpenPicker);
    connect(dePPStart, &DateEdit::pickerClosed, this, &TMainForm::dePPStartClosePicker);
    connect(loSettings, &Panel::touchGesture, this, &TMainForm::loSettingsGesture);
    connect(loSettings, &Panel::doubleClicked, this, &TMainForm::loSettingsDblClick);
    for (PushButton* button : {bAPlt, bBPlt, bXPlt, bLdTr, bBkGr})
        connect(button, &QPushButton::clicked, this, [this, button] { bAPltClick(button); });
    connect(cbPlt, &PopupComboBox::popupClosed, this, &TMainForm::cbPltClosePopup);
    connect(edAgency, &LineEdit::focusGained, this, &TMainForm::edAgencyEnter);
    connect(edAgency, &LineEdit::focusLost, this, &TMainForm::edAgencyExit);
    connect(sbHelp1, &QPushButton::clicked, this, &TMainForm::sbHelp1Click);
    connect(sbHelp2, &QPushButton::clicked, this, &TMainForm::sbHelp2Click);
}

void TMainForm::FormCreate() {
    m_state.Format = LocalFormat::fromLocale(m_environment.locale);
    // The dialogs, the day editor and its undo texts write dates in the default locale: the same
    // regional settings as the status line.
    QLocale::setDefault(m_environment.locale);
    const QString base =
        m_environment.configBase.isEmpty() ? userConfigFolder() : m_environment.configBase;
    m_state.IniPath = settingsFilePath(resolveSettingsFolder(base));
    const StoredSettings loaded = loadSettings(m_state.IniPath, m_environment.locale);
    ApplyLoadedSettings(m_settings, m_state, loaded);
    m_savedAssignment = assignmentItems().at(assignmentIndex(loaded.assignment));
    for (DateEdit* editor : {deDate, dePPStart}) {
        editor->setLocale(m_environment.locale);
        editor->setDisplayFormat(numericShortDatePattern(m_environment.locale));
    }
    deDate->setSerial(today());
    dePPStart->hide();
    ccbColor->hide();
    bPrev->setRepeat(MonthRepeatDelayMs, MonthRepeatIntervalMs);
    bNext->setRepeat(MonthRepeatDelayMs, MonthRepeatIntervalMs);
    ColorButtonTexts(m_settings, m_state);
    lblAbout->setText(AboutText());
    resize(StartupOuterSize);
    tabCtrl->setActivePage(tabCalendar);
    m_state.SelectedDate = today();
    BuildMonth(m_state, m_state.SelectedDate);
    RefreshAll(m_state.SelectedDate);
    focusActivePage();
}

GridOverlays TMainForm::overlays() const {
    return {swPaydays->isChecked(), swDebitDays->isChecked(), swPayPeriods->isChecked()};
}

AssignmentChoice TMainForm::assignment() const {
    return {cbPlt->currentIndex(), cbPlt->currentText()};
}

void TMainForm::updateScheduleInputs() {
    m_schedule->setCurrentAssignment(assignment().text);
    m_schedule->setPayPeriodStart(m_state.PayPeriodStart);
}

void TMainForm::RefreshAll(DateSerial date) {
    // The schedule's own change signal would only ask for the refresh that runs now.
    m_refreshing = true;
    updateScheduleInputs();
    m_refreshing = false;
    const AssignmentChoice chosen = assignment();
    StyleToolbars(m_header, m_state, edAgency->text(), chosen);
    ShowMonthName(m_header, m_state, date);
    ShowWeekdayNames(m_header, m_state);
    PaintGrid(m_registry, m_state, overlays(), *m_schedule);
    gloCal->setSelectedItem(SelectedCellIndex(m_state));
    ShowStatus(m_header, m_state, *m_schedule);
    StyleSettingsPage(m_settings);
    StyleAboutPage(m_about);
}

void TMainForm::ScheduleChanged() {
    if (!m_refreshing && m_composed)
        RefreshAll(m_state.SelectedDate);
}

void TMainForm::refreshMonth() {
    BuildMonth(m_state, m_state.SelectedDate);
    RefreshAll(m_state.SelectedDate);
}

bool TMainForm::FormKeyDown(int key) {
    const bool consumed = ApplyNavigationKey(m_state, key, today());
    refreshMonth();
    return consumed;
}

void TMainForm::FormKeyUp() {}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    if (CalendarMenu::isMenuKey(*event) && tabCtrl->activePage() == tabCalendar) {
        popupCalendarMenuAtSelection();
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && tabCtrl->activePage() == tabCalendar) {
        gloCalEditDay();
        event->accept();
        return;
    }
    if (FormKeyDown(event->key()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void TMainForm::keyReleaseEvent(QKeyEvent* event) {
    FormKeyUp();
    QWidget::keyReleaseEvent(event);
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_composed)
        FormResize();
}

void TMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fitStartupOuterSize();
    // The days file is watched for another window's changes only while this one can be seen.
    m_daysWatch->setWatching(!isMinimized());
    if (!m_schedule->problem().isEmpty() && !m_unavailableReported)
        QMetaObject::invokeMethod(this, &TMainForm::reportUnavailableEntries, Qt::QueuedConnection);
}

void TMainForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Also when minimised: the desktop then sends a hide while the window stays "visible".
    m_daysWatch->setWatching(false);
}

void TMainForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Another window of the user may have changed the entries meanwhile; the watch may miss a
    // change (a file on another machine's disk), a look on activation does not.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_store->checkForOutsideChanges();
    if (event->type() == QEvent::WindowStateChange)
        m_daysWatch->setWatching(isVisible() && !isMinimized());
}

void TMainForm::showSavedFile(const QString& path) {
    // It stands in for the day's lines through every refresh until the timer takes it back.
    m_state.StatusNotice = SavedNotice.arg(QFileInfo(path).fileName());
    m_noticeTimer->start();
    ShowStatus(m_header, m_state, *m_schedule);
}

void TMainForm::reportUnavailableEntries() {
    // Once, and without holding up the window: the rotation shows all the same.
    if (m_unavailableReported)
        return;
    m_unavailableReported = true;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Your days are unavailable"),
                                m_schedule->problem(), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("msgDaysUnavailable"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TMainForm::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    fitStartupOuterSize();
}

void TMainForm::fitStartupOuterSize() {
    // Qt sizes the client area; the frame is known only once the window is on screen, and under
    // some window managers a little later. Shrink the client area once, unless the user resized.
    if (!m_startupSizePending)
        return;
    const QSize frame = frameGeometry().size() - size();
    if (frame.width() <= 0 && frame.height() <= 0)
        return;
    m_startupSizePending = false;
    if (size() == StartupOuterSize)
        resize(StartupOuterSize - frame);
}

void TMainForm::FormResize() {
    // Computed rather than read back, since a hidden page is docked only when it is shown.
    const QRect page = tabCtrl->pageRect().isEmpty()
                           ? QRect(0, 0, width(), height() - TabControl::HeaderHeight)
                           : tabCtrl->pageRect();
    // The outer height, frame and title bar included, in whole logical units.
    const CalendarProportions fit = CalendarProportionsFor(frameGeometry().height(), page.size());
    DockLayout::of(tabCalendar)
        ->setDockedHeights({{tbCalendar, fit.bands.title},
                            {loMonthName, fit.bands.month},
                            {loDaysOfWeek, fit.bands.weekdays},
                            {loFooter, fit.bands.footer}});
    gloDOW->setItemSize(fit.itemWidth, fit.items.weekdays);
    gloCal->setItemSize(fit.itemWidth, fit.items.days);
    m_state.Fonts = fit.fonts;
    RefreshAll(m_state.SelectedDate);
}

void TMainForm::tabCtrlChange() {
    HideEditors(m_settings);
    refreshMonth();
    focusActivePage();
}

void TMainForm::focusActivePage() {
    // When the window is activated, Qt gives the focus to the first control of the focus chain,
    // the tab headers, which take Left and Right for themselves; a control left focused on a page
    // that was hidden would keep other navigation keys. So the focus rests where no control
    // consumes them: the day grid, or the window itself on the other pages. Only headers that the
    // user reached with Tab keep it, as Left and Right there are meant to switch pages.
    if (focusWidget() == tabCtrl->tabBar())
        return;
    if (tabCtrl->activePage() == tabCalendar)
        gloCal->setFocus(Qt::OtherFocusReason);
    else
        setFocus(Qt::OtherFocusReason);
}

void TMainForm::sbBack2Click() {
    tabCtrl->setActivePage(tabCalendar);
}

void TMainForm::deDateOpenPicker() {}

void TMainForm::deDateClosePicker() {
    const DateSerial clamped = ClampPickerDate(deDate->serial());
    deDate->setSerial(clamped);
    m_state.SelectedDate = clamped;
    m_state.AnchorDate = clamped;
    // Disabling takes the focus away, so the arrow keys go back to moving the selection.
    deDate->setEnabled(false);
    deDate->setEnabled(true);
    refreshMonth();
    focusActivePage();
}

void TMainForm::bTodayClick() {
    m_state.SelectedDate = today();
    refreshMonth();
}

void TMainForm::bPrevClick() {
    StepMonth(m_state, -1);
    refreshMonth();
}

void TMainForm::bNextClick() {
    StepMonth(m_state, +1);
    refreshMonth();
}

void TMainForm::gloCalGesture() {
    // A long press does nothing; it only must not end as a click on the cell under it.
    for (Rectangle* cell : gR)
        cell->cancelClick();
}

void TMainForm::gR00Click(Rectangle* sender) {
    if (SelectCell(m_state, sender->tag()))
        RefreshAll(m_state.SelectedDate);
}

void TMainForm::gR00DblClick(Rectangle* sender) {
    if (SelectCell(m_state, sender->tag()))
        RefreshAll(m_state.SelectedDate);
    // After the event: the release of the double click still belongs to the grid.
    QMetaObject::invokeMethod(this, &TMainForm::gloCalEditDay, Qt::QueuedConnection);
}

void TMainForm::gloCalEditDay() {
    // The Settings page's choices, saved or not, as the next refresh would show them.
    updateScheduleInputs();
    if (tabCtrl->activePage() != tabCalendar)
        return;
    if (QDialog* day = openDay(*m_editing, *m_schedule, m_state.SelectedDate, this))
        connect(day, &QDialog::finished, this, &TMainForm::returnFromDialog);
}

void TMainForm::gloCalNewEntry(EntryKind kind) {
    updateScheduleInputs();
    if (tabCtrl->activePage() != tabCalendar)
        return;
    if (QDialog* form = openNewEntry(*m_editing, *m_schedule, m_state.SelectedDate, kind, this))
        connect(form, &QDialog::finished, this, &TMainForm::returnFromDialog);
}

void TMainForm::gloCalHours() {
    updateScheduleInputs();
    if (findChild<HoursDialog*>())
        return;
    HoursDialog* dialog = OpenHoursDialog(
        this, *m_schedule, m_state.SelectedDate,
        [this](const QList<BankSetup>& after, const QString& text) {
            return m_editing->changeBankSetups(m_schedule->bankSetups(), after, text);
        });
    connect(dialog, &HoursDialog::fileSaved, this, &TMainForm::showSavedFile);
    connect(dialog, &QDialog::finished, this, &TMainForm::returnFromDialog);
}

void TMainForm::gloCalAssignments() {
    updateScheduleInputs();
    if (tabCtrl->activePage() != tabCalendar || findChild<AssignmentChangeDialog*>())
        return;
    auto* dialog = new AssignmentChangeDialog(m_schedule->history(), QString(), today(),
                                              m_environment.locale, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const AssignmentHistory before = m_schedule->history();
        const AssignmentHistory after = dialog->history();
        if (after == before)
            return;
        const StoreResult result = m_editing->changeAssignments(before, after, dialog->stepText());
        if (!result.ok)
            reportError(this, result.error);
    });
    connect(dialog, &QDialog::finished, this, &TMainForm::returnFromDialog);
    dialog->open();
}

bool TMainForm::asksAssignmentChange(const QString& chosen) const {
    // A first choice of group changes nothing that came before; nor does keeping the one saved.
    return chosen != m_savedAssignment &&
           (IsSubGroup(m_savedAssignment) || m_schedule->history().hasChanges());
}

QString TMainForm::writeCurrentAssignment(const QString& assignment) {
    // An undone or redone change of assignment puts the saved one back where Save keeps it.
    if (!saveAssignment(m_state.IniPath, assignment, m_environment.locale))
        return QStringLiteral("Unable to write to %1").arg(m_state.IniPath);
    m_savedAssignment = assignment;
    cbPlt->setCurrentIndex(assignmentIndex(assignment));
    RefreshAll(m_state.SelectedDate);
    rewriteKeptCalendar();
    m_publishing->daysChanged();
    return {};
}

void TMainForm::returnFromDialog() {
    // The arrow keys move the day again at once; not every platform activates the window below.
    activateWindow();
    focusActivePage();
}

void TMainForm::bSaveClick() {
    const QString chosen = assignmentItems().at(assignmentIndex(cbPlt->currentText()));
    const AssignmentHistory recorded(m_schedule->history().earlier(), m_savedAssignment);
    if (!asksAssignmentChange(chosen)) {
        saveSettingsAndHistory(recorded.correctedTo(chosen));
        return;
    }
    if (findChild<AssignmentChangeDialog*>())
        return;
    // Asked without holding up the window: Save goes on when the user answers, and a cancel
    // saves nothing.
    auto* question = new AssignmentChangeDialog(recorded, chosen,
                                                PayPeriodFirstDay(today(), m_state.PayPeriodStart),
                                                m_environment.locale, this);
    question->setAttribute(Qt::WA_DeleteOnClose);
    connect(question, &QDialog::accepted, this,
            [this, question] { saveSettingsAndHistory(question->history()); });
    connect(question, &QDialog::finished, this, &TMainForm::returnFromDialog);
    question->open();
}

void TMainForm::saveSettingsAndHistory(const AssignmentHistory& after) {
    StoredSettings current = CurrentSettings(m_settings, m_state);
    current.payPeriodStart = PayPeriodStartToSave(m_settings, m_state);
    const AssignmentHistory before(m_schedule->history().earlier(), m_savedAssignment);
    // The earlier assignments first: should the settings file then refuse the write, they go
    // back, and neither file tells a story the other does not.
    const bool historyChanges = after.earlier() != before.earlier();
    if (historyChanges)
        if (const StoreResult stored = m_store->setEarlierAssignments(after.earlier());
            !stored.ok) {
            reportError(this, stored.error);
            return;
        }
    // Not a missed write: a title the user left as loaded, or changed and then changed back, is
    // deliberately not written, so the file keeps its own line as it was (a hand-edited file may
    // hold a form of the title that the box shows differently). Any other title is written.
    const bool writeAgency = edAgency->text() != m_state.LoadedAgency;
    if (!saveSettings(m_state.IniPath, current, writeAgency, m_environment.locale)) {
        if (historyChanges)
            m_store->setEarlierAssignments(before.earlier());
        reportError(this, QStringLiteral("Unable to write to %1").arg(m_state.IniPath));
        return;
    }
    if (historyChanges || after.current() != m_savedAssignment) {
        m_editing->recordAssignmentChange(before, after,
                                          AssignmentStepText(before, after, m_environment.locale));
        // The member's days read differently: a calendar must take them as updates. A first
        // choice of group makes no days file for it.
        if (IsSubGroup(m_savedAssignment) || historyChanges)
            m_store->raiseDutySequence();
    }
    m_savedAssignment = after.current();
    m_state.PayPeriodStart = current.payPeriodStart;
    HideEditors(m_settings);
    refreshMonth();
    rewriteKeptCalendar();
    m_publishing->daysChanged();
    tabCtrl->setActivePage(tabCalendar);
}

void TMainForm::bAPltClick(PushButton* sender) {
    OpenColorList(m_settings, m_state, sender->tag());
}

void TMainForm::ccbColorPopup() {
    dePPStart->hide();
}

void TMainForm::ccbColorClosePopup() {
    if (CloseColorList(m_settings, m_state))
        PaintGrid(m_registry, m_state, overlays(), *m_schedule);
}

void TMainForm::dePPStartOpenPicker() {
    PayPeriodPickerOpened(m_settings, m_state);
}

void TMainForm::dePPStartClosePicker() {
    PayPeriodPickerClosed(m_settings, m_state);
}

void TMainForm::loSettingsGesture() {
    RevealPayPeriodEditor(m_settings);
}

void TMainForm::loSettingsDblClick() {
    RevealPayPeriodEditor(m_settings);
}

void TMainForm::cbPltClosePopup() {
    AssignmentListClosed(m_settings);
}

void TMainForm::edAgencyEnter() {
    AgencyFocusGained(m_settings);
}

void TMainForm::edAgencyExit() {
    AgencyFocusLost(m_settings);
}

void TMainForm::sbHelp1Click() {
    OpenIssuesPage();
}

void TMainForm::sbHelp2Click() {
    OpenSupportMail();
}

void TMainForm::popupCalendarMenuAtSelection() {
    const int selected = SelectedCellIndex(m_state);
    QWidget* at = selected >= 0 ? static_cast<QWidget*>(gR[static_cast<size_t>(selected)]) : gloCal;
    m_calendarMenu->popup(at->mapToGlobal(at->rect().center()));
}

SheetRequest TMainForm::sheetRequest() const {
    return sheetRequestFrom(m_state, overlays(), *m_schedule, edAgency->text());
}

void TMainForm::gloCalPrint() {
    updateScheduleInputs();
    PrintSheetWithPreview(this, sheetRequest());
}

void TMainForm::gloCalSaveAsPdf() {
    updateScheduleInputs();
    if (const QString saved = SaveSheetAsPdf(this, sheetRequest()); !saved.isEmpty())
        showSavedFile(saved);
}

void TMainForm::gloCalExportIcs() {
    updateScheduleInputs();
    KeptCalendar kept;
    kept.file = m_store->keptCalendarFile();
    kept.timedShifts = m_store->keptCalendarTimedShifts();
    kept.setFile = [this](const QString& path, bool timedShifts) {
        const StoreResult result = m_store->setKeptCalendarFile(path, timedShifts);
        if (!result.ok)
            reportError(this, result.error);
    };
    OpenCalendarExport(
        this, *m_schedule,
        {swPaydays->isChecked(), swPayPeriods->isChecked(), edAgency->text(), today()}, kept,
        [this](const QString& path) { showSavedFile(path); }, [this] { gloCalPublish(); });
}

void TMainForm::gloCalPublish() {
    updateScheduleInputs();
    if (findChild<PublishDialog*>())
        return;
    PublishDialog* dialog = OpenPublishDialog(this, *m_store, *m_publishing,
                                              {swPaydays->isChecked(), swPayPeriods->isChecked()},
                                              m_environment.locale);
    connect(dialog, &QDialog::finished, this, &TMainForm::returnFromDialog);
}

void TMainForm::rewriteKeptCalendar() {
    const QString path = m_store->keptCalendarFile();
    if (path.isEmpty())
        return;
    CalendarExport request;
    request.schedule = m_schedule;
    request.range = DefaultCalendarRange(today());
    request.contents.paydays = swPaydays->isChecked();
    request.contents.payPeriodStarts = swPayPeriods->isChecked();
    request.contents.timedShifts = m_store->keptCalendarTimedShifts();
    request.agency = edAgency->text();
    m_store->noteDutyTiming(request.contents.timedShifts);
    QString error;
    if (!WriteKeptCalendar(path, request, &error))
        reportError(this, error);
}
