// The window's controls, page by page, in the order of creation. Geometry is in logical units
// at the design size (client 378 x 564); docking and the resize handler adapt it to the window.
#include "app/mainform.h"

#include "ui/composer.h"

#include <QStringList>

#include <array>

namespace {

QString cellName(const char* prefix, int index) {
    return QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(index, 2, 10, QLatin1Char('0'));
}

const QStringList WeekdayCaptions = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

} // namespace

void TMainForm::compose() {
    Composer ui(m_registry);
    using D = Dock;
    using namespace GridTags;
    // The three Back buttons are alike: docked left in their page's title.
    auto backButton = [&ui](Label* title, const char* name) {
        auto* button = ui.make<SpeedButton>(title, name,
                                            docked(Dock::Left, 4, 4, 77, 40, margins(4, 4, 0, 4)));
        button->setText(QStringLiteral("Back"));
        button->setLook(ButtonLook::Back);
        return button;
    };
    setWindowTitle(SettingsTitle);
    resize(378, 564);

    tabCtrl = ui.make<TabControl>(this, "tabCtrl", docked(D::Client, 0, 0, 378, 564));

    // Calendar page
    tabCalendar = ui.make<TabPage>(tabCtrl, "tabCalendar", at(0, 49, 378, 515));
    tabCtrl->addPage(tabCalendar, QStringLiteral("Calendar"));
    tbCalendar = ui.make<ToolBar>(tabCalendar, "tbCalendar", docked(D::MostTop, 0, 0, 378, 48));
    rectToolbar1 = ui.make<Rectangle>(tbCalendar, "rectToolbar1", docked(D::Client, 0, 0, 378, 48),
                                      CalendarBackground);
    rectToolbar1->setHitTest(false);
    lblToolbar1 = ui.make<Label>(rectToolbar1, "lblToolbar1", docked(D::Client, 0, 0, 378, 48));
    lblToolbar1->setText(QStringLiteral("Title"));
    loFooter = ui.make<Panel>(tabCalendar, "loFooter", docked(D::Bottom, 0, 470, 378, 45));
    rectFooter = ui.make<Rectangle>(loFooter, "rectFooter", docked(D::Client, 0, 0, 378, 45),
                                    CalendarBackground);
    lblStatus = ui.make<Label>(rectFooter, "lblStatus", docked(D::Client, 0, 0, 378, 45));
    lblStatus->setText(QStringLiteral("Status"));
    deDate = ui.make<DateEdit>(lblStatus, "deDate",
                               docked(D::Right, 280, 4, 94, 39, margins(0, 4, 4, 2)));
    bToday = ui.make<PushButton>(lblStatus, "bToday",
                                 docked(D::Left, 4, 4, 77, 39, margins(4, 4, 0, 2)));
    bToday->setText(QStringLiteral("Today"));
    loMonthName = ui.make<Panel>(tabCalendar, "loMonthName", docked(D::MostTop, 0, 48, 378, 48));
    rectMonthName = ui.make<Rectangle>(loMonthName, "rectMonthName",
                                       docked(D::Client, 0, 0, 378, 48), CalendarBackground);
    lblMonthName = ui.make<Label>(rectMonthName, "lblMonthName", docked(D::Client, 0, 0, 378, 48));
    lblMonthName->setText(QStringLiteral("Month and Year"));
    bPrev = ui.make<PushButton>(lblMonthName, "bPrev",
                                docked(D::Left, 4, 2, 53, 44, margins(4, 2, 0, 2)));
    bPrev->setLook(ButtonLook::ArrowLeft);
    bPrev->setAccessibleName(QStringLiteral("Previous month"));
    bNext = ui.make<PushButton>(lblMonthName, "bNext",
                                docked(D::Right, 320, 2, 54, 44, margins(0, 2, 4, 2)));
    bNext->setLook(ButtonLook::ArrowRight);
    bNext->setAccessibleName(QStringLiteral("Next month"));
    loDaysOfWeek = ui.make<Panel>(tabCalendar, "loDaysOfWeek", docked(D::Top, 0, 96, 378, 48));
    rectDaysOfWeek = ui.make<Rectangle>(loDaysOfWeek, "rectDaysOfWeek",
                                        docked(D::Client, 0, 0, 378, 48), BorderedBackground);
    gloDOW = ui.make<GridPanel>(rectDaysOfWeek, "gloDOW", docked(D::Client, 0, 0, 378, 48));
    gloDOW->setAttribute(Qt::WA_TransparentForMouseEvents);
    gloDOW->setItemSize(54, 48);
    for (int day = 0; day < 7; ++day) {
        const QByteArray name = QStringLiteral("lblDOW%1").arg(day + 1).toLatin1();
        lblDOW[static_cast<size_t>(day)] =
            ui.make<Label>(gloDOW, name.constData(), at(54.0 * day, 0, 54, 48));
        lblDOW[static_cast<size_t>(day)]->setText(WeekdayCaptions[day]);
    }
    loCalendar = ui.make<Panel>(tabCalendar, "loCalendar", docked(D::Client, 0, 144, 378, 326));
    rectGloCal = ui.make<Rectangle>(loCalendar, "rectGloCal", docked(D::Client, 0, 0, 378, 326),
                                    CalendarBackground);
    gloCal = ui.make<GridPanel>(rectGloCal, "gloCal", docked(D::Client, 0, 0, 378, 326));
    gloCal->setItemSize(54, 54);
    gloCal->grabGesture(Qt::TapAndHoldGesture);
    // The grid holds the keyboard focus on this page: it consumes no key, so every navigation key
    // reaches the window, and a screen reader finds the focus on the month.
    gloCal->setFocusPolicy(Qt::StrongFocus);

    // The 42 day cells: rectangle, day number, sub-label, cell by cell.
    for (int k = 0; k < GridDayCount; ++k) {
        const auto i = static_cast<size_t>(k);
        const QByteArray r = cellName("gR", k).toLatin1();
        const QByteArray t = cellName("gT", k).toLatin1();
        const QByteArray x = cellName("gX", k).toLatin1();
        gR[i] = ui.make<Rectangle>(gloCal, r.constData(),
                                   at(54.0 * (k % 7), 54.0 * (k / 7), 54, 54), FirstCell + k);
        gR[i]->setHitTest(k < FirstNeverShownCell);
        gT[i] =
            ui.make<FreeText>(gR[i], t.constData(), docked(D::Client, 0, 0, 54, 54), FirstCell + k);
        gX[i] = ui.make<FreeText>(gT[i], x.constData(),
                                  docked(D::Client, 0, 0, 50, 52, margins(0, 0, 4, 2)),
                                  SubLabelOffset + FirstCell + k);
        gX[i]->setAlignment(TextAlign::Trailing, TextAlign::Trailing);
    }

    // Settings page
    tabSettings = ui.make<TabPage>(tabCtrl, "tabSettings", at(0, 49, 378, 515));
    tabCtrl->addPage(tabSettings, QStringLiteral("Settings"));
    tbSettings = ui.make<ToolBar>(tabSettings, "tbSettings", docked(D::Top, 0, 0, 378, 48));
    rectToolbar2 = ui.make<Rectangle>(tbSettings, "rectToolbar2", docked(D::Client, 0, 0, 378, 48),
                                      BorderedBackground);
    lblToolbar2 = ui.make<Label>(rectToolbar2, "lblToolbar2", docked(D::Client, 0, 0, 378, 48));
    lblToolbar2->setText(SettingsTitle);
    sbBack2 = backButton(lblToolbar2, "sbBack2");
    bSave = ui.make<PushButton>(lblToolbar2, "bSave",
                                docked(D::Right, 285, 4, 89, 40, margins(0, 4, 4, 4)));
    bSave->setText(QStringLiteral("Save"));
    bSave->setBold(true);
    ccbColor = ui.make<ColorComboBox>(lblToolbar2, "ccbColor", at(80, 8, 193, 33));
    ccbColor->setMaxVisibleItems(12);
    dePPStart = ui.make<DateEdit>(lblToolbar2, "dePPStart", at(85, 8, 150, 33));
    rectSettings = ui.make<Rectangle>(tabSettings, "rectSettings",
                                      docked(D::Client, 0, 48, 378, 467), BorderedBackground);
    loSettings = ui.make<Panel>(rectSettings, "loSettings", docked(D::Client, 0, 0, 378, 467));
    loSettings->enableTouchGestures();
    lblDebitDays = ui.make<Label>(loSettings, "lblDebitDays", at(8, 96, 137, 25));
    lblDebitDays->setText(QStringLiteral("Show RDOs"));
    lblPlatoon = ui.make<Label>(loSettings, "lblPlatoon", at(8, 16, 137, 25));
    lblPlatoon->setText(QStringLiteral("Assignment"));
    lblPaydays = ui.make<Label>(loSettings, "lblPaydays", at(8, 56, 137, 25));
    lblPaydays->setText(QStringLiteral("Paydays"));
    bAPlt = ui.make<PushButton>(loSettings, "bAPlt", at(16, 184, 57, 33), ColorTags::CrewA);
    bAPlt->setText(QStringLiteral("A"));
    bBPlt = ui.make<PushButton>(loSettings, "bBPlt", at(80, 184, 57, 33), ColorTags::CrewB);
    bBPlt->setText(QStringLiteral("B"));
    bLdTr = ui.make<PushButton>(loSettings, "bLdTr", at(32, 232, 65, 33), ColorTags::LeadTrail);
    bLdTr->setText(QStringLiteral("Ld / Tr"));
    bXPlt = ui.make<PushButton>(loSettings, "bXPlt", at(144, 184, 57, 33), ColorTags::Rdo);
    bXPlt->setText(QStringLiteral("RDO"));
    cbPlt = ui.make<ComboBox>(loSettings, "cbPlt", at(150, 12, 67, 32));
    cbPlt->setItems(assignmentItems());
    cbPlt->setMaxVisibleItems(15);
    swDebitDays = ui.make<SwitchButton>(loSettings, "swDebitDays", at(152, 96, 41, 26));
    swPaydays = ui.make<SwitchButton>(loSettings, "swPaydays", at(152, 56, 41, 26));
    bBkGr = ui.make<PushButton>(loSettings, "bBkGr", at(120, 232, 65, 33), ColorTags::Background);
    bBkGr->setText(QStringLiteral("BkGr"));
    edAgency = ui.make<LineEdit>(loSettings, "edAgency", at(16, 280, 185, 33));
    edAgency->setPlaceholderText(QStringLiteral("Enter agency name"));
    edAgency->setOpacity(0.5);
    swPayPeriods = ui.make<SwitchButton>(loSettings, "swPayPeriods", at(152, 136, 41, 26));
    lblPayPeriods = ui.make<Label>(loSettings, "lblPayPeriods", at(8, 136, 137, 25));
    lblPayPeriods->setText(QStringLiteral("Pay Periods"));
    for (PushButton* bold : {bAPlt, bBPlt, bLdTr, bXPlt, bBkGr})
        bold->setBold(true);
    for (Label* caption : {lblDebitDays, lblPlatoon, lblPaydays, lblPayPeriods})
        caption->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    swPaydays->setAccessibleName(lblPaydays->text());
    swDebitDays->setAccessibleName(lblDebitDays->text());
    swPayPeriods->setAccessibleName(lblPayPeriods->text());
    cbPlt->setAccessibleName(lblPlatoon->text());

    // Help page
    auto* tabHelp = ui.make<TabPage>(tabCtrl, "tabHelp", at(0, 49, 378, 515));
    tabCtrl->addPage(tabHelp, QStringLiteral("Help"));
    rectHelp =
        ui.make<Rectangle>(tabHelp, "rectHelp", docked(D::Client, 0, 48, 378, 467), HelpBackground);
    tbHelp = ui.make<ToolBar>(tabHelp, "tbHelp", docked(D::Top, 0, 0, 378, 48));
    rectToolbar3 = ui.make<Rectangle>(tbHelp, "rectToolbar3", docked(D::Client, 0, 0, 378, 48),
                                      HelpBackground);
    lblToolbar3 = ui.make<Label>(rectToolbar3, "lblToolbar3", docked(D::Client, 0, 0, 378, 48));
    lblToolbar3->setText(SettingsTitle);
    sbBack3 = backButton(lblToolbar3, "sbBack3");
    imgHelp = ui.make<ImageView>(tabHelp, "imgHelp",
                                 docked(D::Client, 10, 58, 358, 447, margins(10, 10, 10, 10)));
    imgHelp->setSources({QStringLiteral(":/assets/help.png")});

    // About page
    tabAbout = ui.make<TabPage>(tabCtrl, "tabAbout", at(0, 49, 378, 515));
    tabCtrl->addPage(tabAbout, QStringLiteral("About"));
    tbAbout = ui.make<ToolBar>(tabAbout, "tbAbout", docked(D::Top, 0, 0, 378, 48));
    rectToolbar4 = ui.make<Rectangle>(tbAbout, "rectToolbar4", docked(D::Client, 0, 0, 378, 48),
                                      BorderedBackground);
    lblToolbar4 = ui.make<Label>(rectToolbar4, "lblToolbar4", docked(D::Client, 0, 0, 378, 48));
    lblToolbar4->setText(SettingsTitle);
    sbBack4 = backButton(lblToolbar4, "sbBack4");
    rectAbout = ui.make<Rectangle>(tabAbout, "rectAbout", docked(D::Client, 0, 48, 378, 467),
                                   BorderedBackground);
    loLinks = ui.make<Panel>(rectAbout, "loLinks", docked(D::Bottom, 0, 333, 378, 134));
    sbHelp1 = ui.make<SpeedButton>(loLinks, "sbHelp1",
                                   docked(D::Top, 16, 12, 346, 41, margins(16, 12, 16, 0)));
    sbHelp1->setText(IssuesLinkCaption());
    sbHelp2 = ui.make<SpeedButton>(loLinks, "sbHelp2",
                                   docked(D::Bottom, 16, 69, 346, 41, margins(16, 0, 16, 24)));
    sbHelp2->setText(MailLinkCaption());
    for (SpeedButton* link : {sbHelp1, sbHelp2}) {
        link->setLook(ButtonLook::Link);
        link->setTextColor(Colors::Blue);
        link->setUnderline(true);
    }
    lblAbout = ui.make<Label>(rectAbout, "lblAbout", docked(D::Client, 0, 0, 378, 333));
    lblAbout->setText(SettingsTitle);
    imgSextant = ui.make<ImageView>(rectAbout, "imgSextant",
                                    docked(D::Client, 10, 10, 358, 313, margins(10, 10, 10, 10)));
    imgSextant->setSources(
        {QStringLiteral(":/assets/sextant@2x.png"), QStringLiteral(":/assets/sextant.png")});
    imgSextant->setOpacity(0.1);

    // Keyboard focus order, parent by parent: in the Settings title bar the colour list, the
    // pay-period editor and Save; on the page below BkGr, the agency box and the pay-period switch
    // first, then the other controls in the order they were made.
    const std::array<QWidget*, 13> settingsOrder = {
        ccbColor, dePPStart, bSave, bBkGr, edAgency,    swPayPeriods, bAPlt,
        bBPlt,    bLdTr,     bXPlt, cbPlt, swDebitDays, swPaydays};
    for (size_t i = 1; i < settingsOrder.size(); ++i)
        setTabOrder(settingsOrder[i - 1], settingsOrder[i]);
}
