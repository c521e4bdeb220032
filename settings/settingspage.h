// What the Settings page does: picking the five colours, revealing and setting the pay-period
// start, keeping an assignment selected, styling the agency box, writing the settings file, and
// the page's text colours on every refresh.
#pragma once

#include "settings/settingsfile.h"
#include "state/programstate.h"
#include "tourwise_version.h"

#include <array>

class ColorComboBox;
class ComboBox;
class DateEdit;
class Label;
class LineEdit;
class PushButton;
class Rectangle;
class SwitchButton;

struct SettingsPageControls {
    Label* title = nullptr;      // lblToolbar2
    Label* aboutTitle = nullptr; // lblToolbar4, recoloured with a new background
    ColorComboBox* colorList = nullptr;
    DateEdit* payPeriodEditor = nullptr;
    PushButton* save = nullptr;
    Rectangle* page = nullptr;        // rectSettings
    std::array<Label*, 4> captions{}; // lblPlatoon, lblPaydays, lblDebitDays, lblPayPeriods
    struct ColorButtons {
        PushButton* crewA = nullptr;      // bAPlt
        PushButton* crewB = nullptr;      // bBPlt
        PushButton* rdo = nullptr;        // bXPlt
        PushButton* leadTrail = nullptr;  // bLdTr
        PushButton* background = nullptr; // bBkGr
    } colorButtons;
    ComboBox* assignment = nullptr;
    SwitchButton* paydays = nullptr;
    SwitchButton* debitDays = nullptr;
    SwitchButton* payPeriods = nullptr;
    LineEdit* agency = nullptr;
};

// The Tags of the colour buttons, which name the colour each one edits.
namespace ColorTags {
inline constexpr int CrewA = 1;
inline constexpr int CrewB = 2;
inline constexpr int Rdo = 5;
inline constexpr int LeadTrail = 6;
inline constexpr int Background = 7;
} // namespace ColorTags

inline const QString SettingsTitle = QString::fromUtf8(ProductTitle);

// The colour that a colour button's Tag names (ColorTags); nullptr for any other Tag.
TAlphaColor* ColorOfTag(ProgramState& state, int tag);

// A colour button: the list remembers the button's Tag, preselects its colour, replaces the
// pay-period editor and drops down.
void OpenColorList(const SettingsPageControls& controls, ProgramState& state, int tag);

// The list closed: stores its colour (never Null) for the Tag it remembers. Returns true when the
// background changed, so the caller repaints the rectangles at once.
bool CloseColorList(const SettingsPageControls& controls, ProgramState& state);

// Leaving the page or saving: the colour list and the pay-period editor hide and the title
// comes back.
void HideEditors(const SettingsPageControls& controls);

// Double click, long tap or double tap on the page background.
void RevealPayPeriodEditor(const SettingsPageControls& controls);

void PayPeriodPickerOpened(const SettingsPageControls& controls, const ProgramState& state);
void PayPeriodPickerClosed(const SettingsPageControls& controls, ProgramState& state);

// The assignment list never stays without a selection.
void AssignmentListClosed(const SettingsPageControls& controls);

void AgencyFocusGained(const SettingsPageControls& controls);
void AgencyFocusLost(const SettingsPageControls& controls);

// The settings as the page and the state hold them now.
StoredSettings CurrentSettings(const SettingsPageControls& controls, const ProgramState& state);

// The pay-period start that Save writes: the editor's date, or the loaded start where the editor
// cannot hold it and the user did not change it.
DateSerial PayPeriodStartToSave(const SettingsPageControls& controls, const ProgramState& state);

// Applies loaded settings to the switches, the assignment list, the agency box, the pay-period
// editor and the state.
void ApplyLoadedSettings(const SettingsPageControls& controls, ProgramState& state,
                         const StoredSettings& loaded);

// Text colours of the colour buttons from the state (crew A, B, RDO, leading/trailing colours;
// black for the background and Save buttons).
void ColorButtonTexts(const SettingsPageControls& controls, const ProgramState& state);

void StyleSettingsPage(const SettingsPageControls& controls);
