// The one main window: it composes the controls of the four pages, holds the program state and
// forwards every event to the module that handles it. It paints, parses and computes nothing
// itself.
#pragma once

#include "app/calendarmenu.h"
#include "days/schedule.h"
#include "export/sheet.h"
#include "info/aboutpage.h"
#include "monthview/gridpainter.h"
#include "monthview/headerpainter.h"
#include "settings/colorlist.h"
#include "settings/settingspage.h"
#include "state/programstate.h"
#include "ui/buttons.h"
#include "ui/containers.h"
#include "ui/controlregistry.h"
#include "ui/gridpanel.h"
#include "ui/imageview.h"
#include "ui/lineedit.h"
#include "ui/pickers.h"
#include "ui/rectangle.h"
#include "ui/switchbutton.h"
#include "ui/tabcontrol.h"
#include "ui/textview.h"

#include <QLocale>
#include <QWidget>

#include <array>
#include <optional>

// What start-up takes from the desktop; tests give their own.
struct StartupEnvironment {
    QLocale locale = QLocale::system();
    QString configBase; // empty: the desktop's per-user configuration folder
    QString dataBase;   // empty: the desktop's per-user data folder
};

class DatabaseFileWatch;
class DayEditing;
class EntryStore;
class Publishing;
class QTimer;
class Schedule;

class TMainForm : public QWidget {
    Q_OBJECT

public:
    explicit TMainForm(const StartupEnvironment& environment = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    ProgramState& state() { return m_state; }
    const ProgramState& state() const { return m_state; }
    const ControlRegistry& registry() const { return m_registry; }
    CalendarMenu* calendarMenu() const { return m_calendarMenu; }
    EntryStore& entryStore() const { return *m_store; }
    const Schedule& schedule() const { return *m_schedule; }
    DayEditing& dayEditing() const { return *m_editing; }
    Publishing& publishing() const { return *m_publishing; }

    void RefreshAll(DateSerial date);

    // Handlers, named after their control and event.
    void FormCreate();
    bool FormKeyDown(int key); // true when the key was consumed
    void FormKeyUp();
    void FormResize();
    void tabCtrlChange();
    void sbBack2Click();
    void deDateOpenPicker();
    void deDateClosePicker();
    void bTodayClick();
    void bPrevClick();
    void bNextClick();
    void gloCalGesture();
    void gR00Click(Rectangle* sender);
    void gR00DblClick(Rectangle* sender);
    void gloCalEditDay();
    void gloCalNewEntry(EntryKind kind);
    void gloCalHours();
    void gloCalAssignments();
    void ScheduleChanged();
    void bSaveClick();
    void bAPltClick(PushButton* sender);
    void ccbColorPopup();
    void ccbColorClosePopup();
    void dePPStartOpenPicker();
    void dePPStartClosePicker();
    void loSettingsGesture();
    void loSettingsDblClick();
    void cbPltClosePopup();
    void edAgencyEnter();
    void edAgencyExit();
    void sbHelp1Click();
    void sbHelp2Click();
    void gloCalPrint();
    void gloCalSaveAsPdf();
    void gloCalExportIcs();
    void gloCalPublish();

    // Calendar page
    TabControl* tabCtrl = nullptr;
    TabPage* tabCalendar = nullptr;
    ToolBar* tbCalendar = nullptr;
    Rectangle* rectToolbar1 = nullptr;
    Label* lblToolbar1 = nullptr;
    Panel* loFooter = nullptr;
    Rectangle* rectFooter = nullptr;
    Label* lblStatus = nullptr;
    DateEdit* deDate = nullptr;
    PushButton* bToday = nullptr;
    Panel* loMonthName = nullptr;
    Rectangle* rectMonthName = nullptr;
    Label* lblMonthName = nullptr;
    PushButton* bPrev = nullptr;
    PushButton* bNext = nullptr;
    Panel* loDaysOfWeek = nullptr;
    Rectangle* rectDaysOfWeek = nullptr;
    GridPanel* gloDOW = nullptr;
    std::array<Label*, 7> lblDOW{}; // lblDOW1 ... lblDOW7
    Panel* loCalendar = nullptr;
    Rectangle* rectGloCal = nullptr;
    GridPanel* gloCal = nullptr;
    std::array<Rectangle*, GridDayCount> gR{}; // gR00 ... gR41
    std::array<FreeText*, GridDayCount> gT{};  // gT00 ... gT41
    std::array<FreeText*, GridDayCount> gX{};  // gX00 ... gX41

    // Settings page
    TabPage* tabSettings = nullptr;
    ToolBar* tbSettings = nullptr;
    Rectangle* rectToolbar2 = nullptr;
    Label* lblToolbar2 = nullptr;
    SpeedButton* sbBack2 = nullptr;
    PushButton* bSave = nullptr;
    ColorComboBox* ccbColor = nullptr;
    DateEdit* dePPStart = nullptr;
    Rectangle* rectSettings = nullptr;
    Panel* loSettings = nullptr;
    Label* lblDebitDays = nullptr;
    Label* lblPlatoon = nullptr;
    Label* lblPaydays = nullptr;
    PushButton* bAPlt = nullptr;
    PushButton* bBPlt = nullptr;
    PushButton* bLdTr = nullptr;
    PushButton* bXPlt = nullptr;
    ComboBox* cbPlt = nullptr;
    SwitchButton* swDebitDays = nullptr;
    SwitchButton* swPaydays = nullptr;
    PushButton* bBkGr = nullptr;
    LineEdit* edAgency = nullptr;
    SwitchButton* swPayPeriods = nullptr;
    Label* lblPayPeriods = nullptr;

    // Help page
    Rectangle* rectHelp = nullptr;
    ToolBar* tbHelp = nullptr;
    Rectangle* rectToolbar3 = nullptr;
    Label* lblToolbar3 = nullptr;
    SpeedButton* sbBack3 = nullptr;
    ImageView* imgHelp = nullptr;

    // About page
    TabPage* tabAbout = nullptr;
    ToolBar* tbAbout = nullptr;
    Rectangle* rectToolbar4 = nullptr;
    Label* lblToolbar4 = nullptr;
    SpeedButton* sbBack4 = nullptr;
    Rectangle* rectAbout = nullptr;
    Panel* loLinks = nullptr;
    SpeedButton* sbHelp1 = nullptr;
    SpeedButton* sbHelp2 = nullptr;
    Label* lblAbout = nullptr;
    ImageView* imgSextant = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitStartupOuterSize();
    void compose();
    void bindEvents();
    void collectPainterControls();
    GridOverlays overlays() const;
    AssignmentChoice assignment() const;
    void refreshMonth();
    void focusActivePage();
    void popupCalendarMenuAtSelection();
    void returnFromDialog();
    SheetRequest sheetRequest() const;
    // What the schedule takes from the window: the assignment the Settings page shows and the
    // pay-period start of the state.
    void updateScheduleInputs();
    // Whether Save asks from which day `chosen` holds: it replaces a sub-group saved before.
    bool asksAssignmentChange(const QString& chosen) const;
    // The rest of Save, once the history to keep is known.
    void saveSettingsAndHistory(const AssignmentHistory& after);
    QString writeCurrentAssignment(const QString& assignment);
    // The calendar file the user subscribed to, after a change of the entries or a Save.
    void rewriteKeptCalendar();
    void reportUnavailableEntries();
    // "Saved hours-2026.csv" in the status line for a few seconds, after a save the user asked
    // for.
    void showSavedFile(const QString& path);

    StartupEnvironment m_environment;
    ProgramState m_state;
    ControlRegistry m_registry;
    HeaderControls m_header;
    SettingsPageControls m_settings;
    AboutControls m_about;
    CalendarMenu* m_calendarMenu = nullptr;
    EntryStore* m_store = nullptr;
    Schedule* m_schedule = nullptr;
    DayEditing* m_editing = nullptr;
    DatabaseFileWatch* m_daysWatch = nullptr;
    QTimer* m_noticeTimer = nullptr; // runs only while the status line shows a notice
    // The calendar server kept up to date; it reads the store and the schedule.
    Publishing* m_publishing = nullptr;
    // The assignment the settings file holds: what a change on Save is a change from.
    QString m_savedAssignment;
    bool m_refreshing = false;
    bool m_unavailableReported = false;
    bool m_composed = false;
    bool m_startupSizePending = true;
};
