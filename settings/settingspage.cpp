#include "settings/settingspage.h"

#include "colors/contrast.h"
#include "settings/colorlist.h"
#include "ui/buttons.h"
#include "ui/lineedit.h"
#include "ui/pickers.h"
#include "ui/rectangle.h"
#include "ui/switchbutton.h"
#include "ui/textview.h"

#include <algorithm>

namespace {

constexpr double AgencyIdleOpacity = 0.5;

// The settings that the page reads and a loaded file sets, each named once: the colours live in
// the state, the overlays in the page's switches.
struct ColorField {
    int tag; // of the colour button that edits it
    PushButton* SettingsPageControls::ColorButtons::*button;
    TAlphaColor StoredSettings::*stored;
    TAlphaColor ProgramState::*state;
};
using Buttons = SettingsPageControls::ColorButtons;
constexpr std::array<ColorField, 5> ColorFields{{
    {ColorTags::CrewA, &Buttons::crewA, &StoredSettings::aPlt, &ProgramState::APltColor},
    {ColorTags::CrewB, &Buttons::crewB, &StoredSettings::bPlt, &ProgramState::BPltColor},
    {ColorTags::Rdo, &Buttons::rdo, &StoredSettings::xPlt, &ProgramState::XPltColor},
    {ColorTags::LeadTrail, &Buttons::leadTrail, &StoredSettings::ldTr, &ProgramState::LdTrColor},
    {ColorTags::Background, &Buttons::background, &StoredSettings::bkGr, &ProgramState::BkGrColor},
}};

struct SwitchField {
    bool StoredSettings::*stored;
    SwitchButton* SettingsPageControls::*control;
};
constexpr std::array<SwitchField, 3> SwitchFields{{
    {&StoredSettings::showPaydays, &SettingsPageControls::paydays},
    {&StoredSettings::showDebit, &SettingsPageControls::debitDays},
    {&StoredSettings::showPayPeriods, &SettingsPageControls::payPeriods},
}};

} // namespace

TAlphaColor* ColorOfTag(ProgramState& state, int tag) {
    for (const ColorField& field : ColorFields) {
        if (field.tag == tag)
            return &(state.*field.state);
    }
    return nullptr;
}

void OpenColorList(const SettingsPageControls& controls, ProgramState& state, int tag) {
    controls.colorList->setTag(tag);
    if (const TAlphaColor* edited = ColorOfTag(state, tag))
        controls.colorList->selectColor(*edited);
    controls.payPeriodEditor->hide();
    controls.colorList->show();
    controls.colorList->showPopup();
}

bool CloseColorList(const SettingsPageControls& controls, ProgramState& state) {
    const TAlphaColor chosen = controls.colorList->colorValue();
    const int tag = controls.colorList->tag();
    bool backgroundChanged = false;
    TAlphaColor* edited = ColorOfTag(state, tag);
    // Null means "no choice": nothing is stored. Nor when the list closed without a choice: a
    // colour that no item has left the previous item selected, and that is not the user's pick.
    if (chosen != Colors::Null && edited && controls.colorList->itemChosen()) {
        *edited = chosen;
        if (tag == ColorTags::Background) {
            controls.colorButtons.background->setTextColor(Colors::Black);
            controls.save->setTextColor(Colors::Black);
            const TAlphaColor contrast = ContrastColor(chosen);
            controls.title->setTextColor(contrast);
            controls.aboutTitle->setTextColor(contrast);
            for (Label* caption : controls.captions)
                caption->setTextColor(contrast);
            controls.agency->setTextColor(Colors::Black);
            backgroundChanged = true;
        } else {
            for (const ColorField& field : ColorFields)
                if (field.tag == tag)
                    (controls.colorButtons.*field.button)->setTextColor(chosen);
        }
    }
    controls.colorList->hide();
    if (!controls.payPeriodEditor->isVisible())
        controls.title->setText(SettingsTitle);
    return backgroundChanged;
}

void HideEditors(const SettingsPageControls& controls) {
    controls.colorList->hide();
    controls.payPeriodEditor->hide();
    controls.title->setText(SettingsTitle);
}

void RevealPayPeriodEditor(const SettingsPageControls& controls) {
    controls.title->setText(QString());
    controls.payPeriodEditor->show();
}

void PayPeriodPickerOpened(const SettingsPageControls& controls, const ProgramState& state) {
    controls.colorList->hide();
    controls.payPeriodEditor->setSerial(state.PayPeriodStart);
}

void PayPeriodPickerClosed(const SettingsPageControls& controls, ProgramState& state) {
    state.PayPeriodStart = controls.payPeriodEditor->serial();
}

void AssignmentListClosed(const SettingsPageControls& controls) {
    if (controls.assignment->currentIndex() < 0)
        controls.assignment->setCurrentIndex(0);
}

void AgencyFocusGained(const SettingsPageControls& controls) {
    controls.agency->setOpacity(1.0);
    controls.agency->setBold(true);
}

void AgencyFocusLost(const SettingsPageControls& controls) {
    controls.agency->setBold(false);
    controls.agency->setOpacity(AgencyIdleOpacity);
}

StoredSettings CurrentSettings(const SettingsPageControls& controls, const ProgramState& state) {
    StoredSettings current;
    current.agency = controls.agency->text();
    current.assignment = controls.assignment->currentText();
    current.payPeriodStart = state.PayPeriodStart;
    for (const SwitchField& field : SwitchFields)
        current.*field.stored = (controls.*field.control)->isChecked();
    for (const ColorField& field : ColorFields)
        current.*field.stored = state.*field.state;
    return current;
}

void ApplyLoadedSettings(const SettingsPageControls& controls, ProgramState& state,
                         const StoredSettings& loaded) {
    for (const SwitchField& field : SwitchFields)
        (controls.*field.control)->setChecked(loaded.*field.stored);
    state.PayPeriodStart = loaded.payPeriodStart;
    state.LoadedPayPeriodStart = loaded.payPeriodStart;
    for (const ColorField& field : ColorFields)
        state.*field.state = loaded.*field.stored;
    controls.agency->setText(loaded.agency);
    // Compared with the box's text at Save, so the loaded title as the box shows it: a character
    // that a hand-edited file may hold and the box shows as a blank (a NUL) must not count as an
    // edit, or every Save would rewrite a title the user never touched.
    state.LoadedAgency = controls.agency->text();
    controls.payPeriodEditor->setSerial(state.PayPeriodStart);
    controls.assignment->setCurrentIndex(assignmentIndex(loaded.assignment));
}

DateSerial PayPeriodStartToSave(const SettingsPageControls& controls, const ProgramState& state) {
    // The editor's date is what the user sees in use after Save. A loaded start before the
    // editor's first date is shown as that first date; unless the user chose another, the file
    // keeps the start it holds.
    const DateEdit& editor = *controls.payPeriodEditor;
    const QDate loaded = qdateFromSerial(state.LoadedPayPeriodStart);
    const QDate shownForLoaded = std::clamp(loaded, editor.minimumDate(), editor.maximumDate());
    const DateSerial shown = editor.serial();
    return shown == serialFromQDate(shownForLoaded) ? state.LoadedPayPeriodStart : shown;
}

void ColorButtonTexts(const SettingsPageControls& controls, const ProgramState& state) {
    // Each button in its own colour, except that of the background, which would not show.
    for (const ColorField& field : ColorFields) {
        const bool background = field.tag == ColorTags::Background;
        (controls.colorButtons.*field.button)
            ->setTextColor(background ? Colors::Black : state.*field.state);
    }
    controls.save->setTextColor(Colors::Black);
}

void StyleSettingsPage(const SettingsPageControls& controls) {
    const TAlphaColor pageFill = controls.page->fill();
    const TAlphaColor contrast = ContrastColor(pageFill);
    for (Label* caption : controls.captions)
        caption->setTextColor(contrast);
    // The agency box paints its own white field, so its text contrasts with that, not the page.
    controls.agency->setTextColor(ContrastColor(Colors::White));
    controls.save->setTextColor(SaveTextColorFor(pageFill));
}
