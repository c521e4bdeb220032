// The main window: its controls and their order, start-up, and every way of moving the selected
// day, driven through real key and mouse events.
#include "pickerclick.h"
#include "windowfixture.h"

#include "days/entrystore.h"
#include "dialogs/exportdialog.h"
#include "dialogs/hoursdialog.h"
#include "editor/dayediting.h"
#include "platform/windowicon.h"
#include "ui/tagged.h"

#include <QAction>
#include <QCalendarWidget>
#include <QElapsedTimer>
#include <QMenu>
#include <QTableView>

namespace {

constexpr DateSerial Jan1st2016 = 42370;
constexpr DateSerial Dec31st2060 = 58806;

QDate anchorAsDate(DateSerial anchor) {
    return anchor == 0 ? QDate() : qdateFromSerial(anchor);
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void startsOnTodayWithDefaults();
    void startDateIsClamped_data();
    void startDateIsClamped();
    void windowIconHasThePicturesOfItsAssets_data();
    void windowIconHasThePicturesOfItsAssets();
    void creationOrderAndTags();
    void navigation_data();
    void navigation();
    void keysWhileAControlHasFocus_data();
    void keysWhileAControlHasFocus();
    void monthButtonsRepeatWhileHeld();
    void footerPickerSelectsItsClampedDate();
    void cellClicks();
    void longPressOnTheGridIsSwallowed();
    void refreshCopesWithTheZeroState();
    void pageChangesHideTheSettingsEditors();
    void refreshKeepsTheFocus();
    void oneDateForm_data();
    void oneDateForm();
};

void MainFormTest::startsOnTodayWithDefaults() {
    WindowFixture window;
    QVERIFY(window.ready);
    QCOMPARE(window.selected(), QDate(2026, 12, 10));
    QCOMPARE(window.state().AnchorDate, 0.0);
    QCOMPARE(qdateFromSerial(window.state().GridDates[0]), QDate(2026, 11, 29));
    QCOMPARE(window.form->frameGeometry().size(), QSize(350, 640));
    QCOMPARE(window.form->tabCtrl->activePage(), window.form->tabCalendar);
    QCOMPARE(window.form->lblToolbar1->text(), QStringLiteral("Velmora Fire"));
    QCOMPARE(window.form->cbPlt->currentIndex(), 0);
    QVERIFY(!window.form->swPaydays->isChecked());
    QVERIFY(!window.form->swDebitDays->isChecked());
    QVERIFY(!window.form->swPayPeriods->isChecked());
    QCOMPARE(window.state().APltColor, Colors::Red);
    QCOMPARE(window.state().BPltColor, Colors::Blue);
    QCOMPARE(window.state().XPltColor, Colors::Fuchsia);
    QCOMPARE(window.state().LdTrColor, Colors::Silver);
    QCOMPARE(window.state().BkGrColor, Colors::White);
    QCOMPARE(window.state().PayPeriodStart, 44185.0);
    QVERIFY(window.form->ccbColor->isHidden());
    QVERIFY(window.form->dePPStart->isHidden());
    QCOMPARE(window.form->deDate->date(), QDate(2026, 12, 10));
    QCOMPARE(window.form->deDate->preparedCalendar()->firstDayOfWeek(), Qt::Sunday);
    QVERIFY(window.form->bPrev->autoRepeat());
    QVERIFY(window.form->bNext->autoRepeat());
    QVERIFY(window.form->bPrev->text().isEmpty());
    QVERIFY(window.form->bNext->text().isEmpty());
    // The folders exist from the first start on; the file only after the first Save.
    QVERIFY(QFileInfo(window.configBase() + "/Kestrand/Tourwise").isDir());
    QVERIFY(!QFileInfo::exists(window.state().IniPath));
}

void MainFormTest::startDateIsClamped_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("selected");
    QTest::newRow("2015") << QDate(2015, 6, 1) << QDate(2016, 1, 1);
    QTest::newRow("2061") << QDate(2061, 3, 1) << QDate(2060, 12, 31);
}

void MainFormTest::startDateIsClamped() {
    QFETCH(QDate, today);
    QFETCH(QDate, selected);
    WindowFixture window(today);
    QCOMPARE(window.selected(), selected);
}

void MainFormTest::windowIconHasThePicturesOfItsAssets_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("inTitleBarIcon");
    for (int size : {32, 64, 256})
        QTest::addRow("%d px", size) << size << (size <= TitleBarIconSize);
}

// The desktop gets the icon's pictures from pixel values compiled in from the PNGs, the small
// ones with the window and all of them right after: each size must be its PNG, pixel for pixel,
// transparency included. Compared premultiplied, the form a pixmap holds, as a PNG loaded into a
// pixmap would be.
void MainFormTest::windowIconHasThePicturesOfItsAssets() {
    QFETCH(int, size);
    QFETCH(bool, inTitleBarIcon);
    QCOMPARE(windowIcon(TitleBarIconSize).availableSizes().contains(QSize(size, size)),
             inTitleBarIcon);
    const QIcon icon = windowIcon();
    QVERIFY(icon.availableSizes().contains(QSize(size, size)));
    const QImage expected = QImage(QStringLiteral(TOURWISE_ICON_DIR "/tourwise-%1.png").arg(size))
                                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(expected.size(), QSize(size, size));
    const QImage shown = icon.pixmap(QSize(size, size))
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(shown, expected);
}

void MainFormTest::creationOrderAndTags() {
    WindowFixture window;
    const std::vector<QWidget*>& controls = window.form->registry().controls();
    QStringList names;
    for (QWidget* control : controls)
        names << control->objectName();
    const qsizetype grid = names.indexOf("gloCal");
    QVERIFY(grid > 0);
    for (int k = 0; k < 42; ++k) {
        const QString index = QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
        QCOMPARE(names.at(grid + 1 + 3 * k), "gR" + index);
        QCOMPARE(names.at(grid + 2 + 3 * k), "gT" + index);
        QCOMPARE(names.at(grid + 3 + 3 * k), "gX" + index);
        QCOMPARE(tagOf(controls[static_cast<size_t>(grid + 1 + 3 * k)]), k);
        QCOMPARE(tagOf(controls[static_cast<size_t>(grid + 2 + 3 * k)]), k);
        QCOMPARE(tagOf(controls[static_cast<size_t>(grid + 3 + 3 * k)]), 100 + k);
    }
    QCOMPARE(names.at(grid + 1 + 3 * 42), "tabSettings");
    // Parents come before their children.
    for (size_t i = 0; i < controls.size(); ++i)
        for (QWidget* parent = controls[i]->parentWidget(); parent && parent != window.form.get();
             parent = parent->parentWidget()) {
            const auto at = std::find(controls.begin(), controls.end(), parent);
            if (at != controls.end())
                QVERIFY2(static_cast<size_t>(at - controls.begin()) < i,
                         qPrintable(controls[i]->objectName()));
        }
    const QList<QPair<QString, int>> tags = {
        {"rectHelp", -3},      {"rectToolbar3", -3}, {"rectToolbar1", -2},   {"rectFooter", -2},
        {"rectMonthName", -2}, {"rectGloCal", -2},   {"rectDaysOfWeek", -1}, {"rectToolbar2", -1},
        {"rectSettings", -1},  {"rectToolbar4", -1}, {"rectAbout", -1},      {"bAPlt", 1},
        {"bBPlt", 2},          {"bXPlt", 5},         {"bLdTr", 6},           {"bBkGr", 7},
        {"ccbColor", 0},       {"lblStatus", 0}};
    for (const auto& [name, tag] : tags)
        QCOMPARE(tagOf(window.form->findChild<QWidget*>(name)), tag);
    QVERIFY(window.form->findChild<QWidget*>("tabHelp"));
}

// Actions: key names (optionally "Shift+"), a letter "A", or the buttons "bPrev", "bNext",
// "bToday", run one after another; `consumed` is about the last key.
void MainFormTest::navigation_data() {
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QDate>("selected");
    QTest::addColumn<QDate>("anchor"); // invalid: still 0
    QTest::addColumn<bool>("consumed");
    const QDate may10(2030, 5, 10);
    QTest::newRow("Right") << may10 << "Right" << QDate(2030, 5, 11) << QDate(2030, 5, 11) << true;
    QTest::newRow("Left") << may10 << "Left" << QDate(2030, 5, 9) << QDate(2030, 5, 9) << true;
    QTest::newRow("Up") << may10 << "Up" << QDate(2030, 5, 3) << QDate(2030, 5, 3) << true;
    QTest::newRow("Down") << may10 << "Down" << QDate(2030, 5, 17) << QDate(2030, 5, 17) << true;
    QTest::newRow("Down into next month")
        << QDate(2030, 5, 28) << "Down" << QDate(2030, 6, 4) << QDate(2030, 6, 4) << true;
    QTest::newRow("Page Up") << may10 << "PgUp" << QDate(2030, 4, 10) << QDate(2030, 4, 10) << true;
    QTest::newRow("Page Down") << may10 << "PgDn" << QDate(2030, 6, 10) << QDate(2030, 6, 10)
                               << true;
    QTest::newRow("Home selects today, anchor kept")
        << may10 << "Home" << QDate(2026, 12, 10) << QDate() << true;
    QTest::newRow("End before any anchor")
        << may10 << "End" << QDate(2016, 1, 1) << QDate() << true;
    QTest::newRow("Right x3, Home, End") << may10 << "Right Right Right Home End"
                                         << QDate(2030, 5, 13) << QDate(2030, 5, 13) << true;
    QTest::newRow("Right, then buttons, End returns")
        << may10 << "Right bNext bPrev bPrev bToday End" << QDate(2030, 5, 11) << QDate(2030, 5, 11)
        << true;
    QTest::newRow("Left on the first day clamps")
        << QDate(2016, 1, 1) << "Left" << QDate(2016, 1, 1) << QDate(2015, 12, 31) << true;
    QTest::newRow("Left on the first day, then End")
        << QDate(2016, 1, 1) << "Left End" << QDate(2016, 1, 1) << QDate(2015, 12, 31) << true;
    QTest::newRow("Page Up from 15 Jan 2016 clamps")
        << QDate(2016, 1, 15) << "PgUp" << QDate(2016, 1, 1) << QDate(2015, 12, 15) << true;
    QTest::newRow("Page Down on the last day clamps")
        << QDate(2060, 12, 31) << "PgDn" << QDate(2060, 12, 31) << QDate(2061, 1, 31) << true;
    QTest::newRow("Page Down from 15 Dec 2060 clamps")
        << QDate(2060, 12, 15) << "PgDn" << QDate(2060, 12, 31) << QDate(2061, 1, 15) << true;
    QTest::newRow("Page Down twice from 31 Jan 2024")
        << QDate(2024, 1, 31) << "PgDn PgDn" << QDate(2024, 3, 29) << QDate(2024, 3, 29) << true;
    QTest::newRow("Page Up from 31 Mar 2023")
        << QDate(2023, 3, 31) << "PgUp" << QDate(2023, 2, 28) << QDate(2023, 2, 28) << true;
    QTest::newRow("Down on 30 Dec 2060 clamps")
        << QDate(2060, 12, 30) << "Down" << QDate(2060, 12, 31) << QDate(2061, 1, 6) << true;
    QTest::newRow("bPrev keeps the anchor")
        << may10 << "bPrev" << QDate(2030, 4, 10) << QDate() << true;
    QTest::newRow("bNext from 31 Jan 2024")
        << QDate(2024, 1, 31) << "bNext" << QDate(2024, 2, 29) << QDate() << true;
    QTest::newRow("bPrev from 15 Jan 2016 clamps")
        << QDate(2016, 1, 15) << "bPrev" << QDate(2016, 1, 1) << QDate() << true;
    QTest::newRow("bNext on the last day clamps")
        << QDate(2060, 12, 31) << "bNext" << QDate(2060, 12, 31) << QDate() << true;
    QTest::newRow("bToday") << may10 << "bToday" << QDate(2026, 12, 10) << QDate() << true;
    QTest::newRow("a letter changes nothing") << may10 << "A" << may10 << QDate() << false;
    QTest::newRow("Shift+Right acts as Right")
        << may10 << "Shift+Right" << QDate(2030, 5, 11) << QDate(2030, 5, 11) << true;
    QTest::newRow("Ctrl+Page Down acts as Page Down")
        << may10 << "Ctrl+PgDn" << QDate(2030, 6, 10) << QDate(2030, 6, 10) << true;
}

void MainFormTest::navigation() {
    QFETCH(QDate, start);
    QFETCH(QString, actions);
    QFETCH(QDate, selected);
    QFETCH(QDate, anchor);
    QFETCH(bool, consumed);

    WindowFixture window;
    window.select(start);
    window.form->setFocus();
    const QHash<QString, Qt::Key> keys = {
        {"Right", Qt::Key_Right}, {"Left", Qt::Key_Left},   {"Up", Qt::Key_Up},
        {"Down", Qt::Key_Down},   {"PgUp", Qt::Key_PageUp}, {"PgDn", Qt::Key_PageDown},
        {"Home", Qt::Key_Home},   {"End", Qt::Key_End},     {"A", Qt::Key_A}};
    const QHash<QString, PushButton*> buttons = {{"bPrev", window.form->bPrev},
                                                 {"bNext", window.form->bNext},
                                                 {"bToday", window.form->bToday}};
    bool lastConsumed = true;
    for (QString action : actions.split(' ')) {
        if (buttons.contains(action)) {
            QTest::mouseClick(buttons[action], Qt::LeftButton);
            continue;
        }
        Qt::KeyboardModifiers modifiers;
        if (action.startsWith("Shift+"))
            modifiers = Qt::ShiftModifier;
        if (action.startsWith("Ctrl+"))
            modifiers = Qt::ControlModifier;
        action = action.section('+', -1);
        QKeyEvent press(QEvent::KeyPress, keys.value(action), modifiers, action == "A" ? "a" : "");
        QApplication::sendEvent(window.form.get(), &press);
        lastConsumed = press.isAccepted();
    }
    QCOMPARE(window.selected(), selected);
    QCOMPARE(anchorAsDate(window.state().AnchorDate), anchor);
    QCOMPARE(lastConsumed, consumed);
    // The grid always shows the selection's month, from a Sunday.
    QCOMPARE(dayOfWeek(window.state().GridDates[0]), 1);
    QCOMPARE(qdateFromSerial(window.state().GridDates[7]).month(), selected.month());
    QVERIFY(window.state().SelectedDate >= Jan1st2016 &&
            window.state().SelectedDate <= Dec31st2060);
}

void MainFormTest::keysWhileAControlHasFocus_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("moves");
    const QList<QPair<int, QString>> allKeys = {
        {Qt::Key_Left, "Left"}, {Qt::Key_Right, "Right"}, {Qt::Key_Up, "Up"},
        {Qt::Key_Down, "Down"}, {Qt::Key_PageUp, "PgUp"}, {Qt::Key_PageDown, "PgDn"},
        {Qt::Key_Home, "Home"}, {Qt::Key_End, "End"}};
    // The agency box keeps the keys that edit its text.
    const QSet<int> agencyKeeps = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End};
    // The date editor steps its own date with the arrows.
    const QSet<int> dateKeeps = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
    // The tab headers, reached with Tab, switch pages with Left and Right.
    const QSet<int> headersKeep = {Qt::Key_Left, Qt::Key_Right};
    for (const auto& [key, name] : allKeys) {
        QTest::addRow("edAgency %s", qPrintable(name))
            << "edAgency" << key << !agencyKeeps.contains(key);
        QTest::addRow("bToday %s", qPrintable(name)) << "bToday" << key << true;
        QTest::addRow("bNext %s", qPrintable(name)) << "bNext" << key << true;
        QTest::addRow("deDate %s", qPrintable(name)) << "deDate" << key << !dateKeeps.contains(key);
        QTest::addRow("gloCal %s", qPrintable(name)) << "gloCal" << key << true;
        QTest::addRow("tab headers %s", qPrintable(name))
            << "tabCtrlHeaders" << key << !headersKeep.contains(key);
        for (const char* toggle : {"swPaydays", "swDebitDays", "swPayPeriods"})
            QTest::addRow("%s %s", toggle, qPrintable(name)) << toggle << key << true;
    }
}

void MainFormTest::keysWhileAControlHasFocus() {
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(bool, moves);
    WindowFixture window;
    window.select(QDate(2030, 5, 10));
    QWidget* focused = window.form->findChild<QWidget*>(control);
    QVERIFY(focused);
    if (window.form->tabSettings->isAncestorOf(focused))
        window.form->tabCtrl->setActivePage(window.form->tabSettings);
    focused->setFocus();
    QTRY_VERIFY(focused->hasFocus());
    // An anchor apart from today and the selection, so Home and End each show where they went.
    const QDate anchor(2029, 3, 3);
    window.state().AnchorDate = serialFromQDate(anchor);
    const DateSerial before = window.state().SelectedDate;
    QTest::keyClick(focused, static_cast<Qt::Key>(key));
    if (!moves)
        QCOMPARE(window.state().SelectedDate, before);
    else if (key == Qt::Key_Home)
        QCOMPARE(window.state().SelectedDate, today());
    else if (key == Qt::Key_End)
        QCOMPARE(window.selected(), anchor);
    else
        QVERIFY(window.state().SelectedDate != before);
    QVERIFY(focused->hasFocus());
}

void MainFormTest::monthButtonsRepeatWhileHeld() {
    WindowFixture window;
    window.select(QDate(2030, 1, 15));
    // The first repeat comes 600 ms after the press, then one every 100 ms.
    for (PushButton* button : {window.form->bPrev, window.form->bNext}) {
        QCOMPARE(button->autoRepeatDelay(), 600);
        QCOMPARE(button->autoRepeatInterval(), 100);
    }
    // Held for less than the delay: no repeat, the release is the one click. Qt's coarse timer
    // fires the first repeat no earlier than 570 ms; a machine too busy to release the button
    // before then cannot tell.
    QElapsedTimer held;
    held.start();
    QTest::mousePress(window.form->bNext, Qt::LeftButton);
    QTest::qWait(550);
    QTest::mouseRelease(window.form->bNext, Qt::LeftButton);
    if (held.elapsed() >= 570)
        QSKIP("the button was held past the first repeat");
    QCOMPARE(window.selected(), QDate(2030, 2, 15));
    // Held longer, the month moves while the button is still down.
    QTest::mousePress(window.form->bNext, Qt::LeftButton);
    QTRY_VERIFY(window.selected() > QDate(2030, 2, 15));
    QTest::mouseRelease(window.form->bNext, Qt::LeftButton);
    QVERIFY(window.selected() >= QDate(2030, 4, 15)); // the repeats and the release
}

void MainFormTest::footerPickerSelectsItsClampedDate() {
    WindowFixture window;
    window.select(QDate(2030, 5, 10));
    DateEdit* picker = window.form->deDate;
    picker->setFocus();
    picker->setDate(QDate(2012, 3, 3));
    openPicker(*picker);
    QWidget* popup = picker->preparedCalendar()->window();
    QTRY_VERIFY(popup->isVisible());
    popup->close();
    QTRY_COMPARE(window.selected(), QDate(2016, 1, 1));
    QCOMPARE(picker->date(), QDate(2016, 1, 1));
    QCOMPARE(window.state().AnchorDate, Jan1st2016);
    QVERIFY(!picker->hasFocus());
    // Opening and closing without a choice selects what the editor shows.
    QTest::keyClick(window.form.get(), Qt::Key_PageDown);
    openPicker(*picker);
    QTRY_VERIFY(popup->isVisible());
    QTest::keyClick(popup, Qt::Key_Escape);
    QTRY_COMPARE(window.selected(), QDate(2016, 1, 1));
    // A date inside the range is taken as it is.
    picker->setDate(QDate(2027, 7, 4));
    openPicker(*picker);
    QTRY_VERIFY(popup->isVisible());
    popup->close();
    QTRY_COMPARE(window.selected(), QDate(2027, 7, 4));
}

void MainFormTest::cellClicks() {
    WindowFixture window;
    window.select(QDate(2030, 5, 10)); // May 2030 starts on a Wednesday: cell 3
    // A day of the shown month is selected without rebuilding the month.
    QTest::mouseClick(window.form->gR[20], Qt::LeftButton);
    QCOMPARE(window.selected(), QDate(2030, 5, 18));
    // Clicks on a cell's texts reach the cell.
    QTest::mouseClick(window.form->gT[21], Qt::LeftButton);
    QCOMPARE(window.selected(), QDate(2030, 5, 19));
    // A day of the previous or the next month changes nothing.
    window.form->lblStatus->setText(QStringLiteral("unchanged"));
    QTest::mouseClick(window.form->gR[1], Qt::LeftButton);
    QCOMPARE(window.selected(), QDate(2030, 5, 19));
    QCOMPARE(window.form->lblStatus->text(), QStringLiteral("unchanged"));
    QTest::mouseClick(window.form->gR[35], Qt::LeftButton); // 1 June
    QCOMPARE(window.selected(), QDate(2030, 5, 19));
    // Cells 37 ... 41 take no pointer input at all.
    for (int k = 37; k < 42; ++k)
        QVERIFY(window.form->gR[static_cast<size_t>(k)]->testAttribute(
            Qt::WA_TransparentForMouseEvents));
    QTest::mouseClick(window.form->gloCal, Qt::LeftButton, {},
                      window.form->gR[38]->geometry().center());
    QCOMPARE(window.selected(), QDate(2030, 5, 19));
    // In a month whose 31st lies in cell 36, the last clickable cell selects it.
    window.select(QDate(2022, 1, 1)); // January 2022 starts on a Saturday: the 31st is cell 36
    QTest::mouseClick(window.form->gR[36], Qt::LeftButton);
    QCOMPARE(window.selected(), QDate(2022, 1, 31));
}

void MainFormTest::longPressOnTheGridIsSwallowed() {
    WindowFixture window;
    window.select(QDate(2030, 5, 10));
    QTest::mousePress(window.form->gR[20], Qt::LeftButton);
    QTest::qWait(900);
    QTest::mouseRelease(window.form->gR[20], Qt::LeftButton);
    QCOMPARE(window.selected(), QDate(2030, 5, 10));
}

void MainFormTest::refreshCopesWithTheZeroState() {
    WindowFixture window;
    window.state() = ProgramState{};
    window.form->RefreshAll(0);
    window.form->FormResize();
    window.form->resize(350, 10); // no room for the grid at all
    window.form->RefreshAll(0);
    QCOMPARE(window.state().SelectedDate, 0.0);
    QCOMPARE(window.form->gT[0]->fontSize(), 1.0);
}

void MainFormTest::pageChangesHideTheSettingsEditors() {
    WindowFixture window;
    TMainForm& form = *window.form;
    int changes = 0;
    QObject::connect(form.tabCtrl, &TabControl::activePageChanged, [&] { ++changes; });
    form.tabCtrl->setActivePage(form.tabCalendar);
    QCOMPARE(changes, 0);
    form.tabCtrl->setActivePage(form.tabSettings);
    QCOMPARE(changes, 1);
    QTest::mouseDClick(form.loSettings, Qt::LeftButton, {}, QPoint(300, 400));
    QVERIFY(form.dePPStart->isVisible());
    QVERIFY(form.lblToolbar2->text().isEmpty());
    QTest::mouseClick(form.sbBack2, Qt::LeftButton);
    QCOMPARE(form.tabCtrl->activePage(), form.tabCalendar);
    QVERIFY(form.dePPStart->isHidden());
    QVERIFY(form.ccbColor->isHidden());
    QCOMPARE(form.lblToolbar2->text(), QStringLiteral("Tourwise\u00AE"));
    // Back buttons of the Help and About pages, and the tab headers.
    for (TabPage* page : {form.tabAbout}) {
        form.tabCtrl->setActivePage(page);
        QTest::mouseClick(form.sbBack4, Qt::LeftButton);
        QCOMPARE(form.tabCtrl->activePage(), form.tabCalendar);
    }
    QTest::mouseClick(form.tabCtrl->tabBar(), Qt::LeftButton, {},
                      form.tabCtrl->tabBar()->tabRect(2).center());
    QCOMPARE(form.tabCtrl->activeIndex(), 2);
    QTest::mouseClick(form.sbBack3, Qt::LeftButton);
    QCOMPARE(form.tabCtrl->activePage(), form.tabCalendar);
}

void MainFormTest::refreshKeepsTheFocus() {
    WindowFixture window;
    TMainForm& form = *window.form;
    form.tabCtrl->setActivePage(form.tabSettings);
    form.edAgency->setFocus();
    QTRY_VERIFY(form.edAgency->hasFocus());
    form.resize(360, 700);
    form.RefreshAll(form.state().SelectedDate);
    QVERIFY(form.edAgency->hasFocus());
    // Page Down still moves the selection while the agency box has the focus.
    const QDate before = window.selected();
    QTest::keyClick(form.edAgency, Qt::Key_PageDown);
    QCOMPARE(window.selected(), before.addMonths(1));
    QVERIFY(form.edAgency->hasFocus());
}

void MainFormTest::oneDateForm_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("today");       // 10 December 2026
    QTest::addColumn<QString>("periodStart"); // 29 November 2026, its pay period's first day
    QTest::addColumn<QString>("exportFrom");  // 1 December 2026, in a date editor
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "12/10/26"
                           << "11/29/26"
                           << "12/1/2026";
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "10.12.26"
                           << "29.11.26"
                           << "01.12.2026";
    QTest::newRow("C") << QLocale::c() << "10 Dec 2026"
                       << "29 Nov 2026"
                       << "2026-12-01";
}

// The status line, the menu's undo text and the Hours tables write a day in one form, the locale's
// short one; a date editor shows the same form with the year in full and the month as a number,
// so a year typed in four digits stays in its century.
void MainFormTest::oneDateForm() {
    QFETCH(QLocale, locale);
    QFETCH(QString, today);
    WindowFixture window(QDate(2026, 12, 10), locale);
    QVERIFY(window.ready);
    QCOMPARE(window.form->lblStatus->text().split(u'\r').first(), today);

    DayEntry note;
    note.date = window.state().SelectedDate;
    note.kind = EntryKind::Note;
    QVERIFY(window.form->dayEditing().add(note).ok);
    const auto* undo = window.form->calendarMenu()->menu()->findChild<QAction*>("actUndo");
    QVERIFY(undo);
    QVERIFY2(undo->text().endsWith(QStringLiteral(" on ") + today), qPrintable(undo->text()));

    window.form->gloCalHours();
    auto* hours = window.form->findChild<HoursDialog*>();
    QVERIFY(hours);
    const auto* pay = hours->findChild<QTableView*>(QStringLiteral("tvPayPeriods"));
    QTEST(pay->currentIndex().siblingAtColumn(1).data().toString(), "periodStart");
    hours->close();

    window.form->gloCalExportIcs();
    auto* exporting = window.form->findChild<ExportCalendarDialog*>();
    QVERIFY(exporting);
    QTEST(exporting->findChild<QDateEdit*>(QStringLiteral("deExportFrom"))->text(), "exportFrom");
    exporting->close();
}

QTEST_MAIN(MainFormTest)
#include "tst_mainform.moc"
