// The Settings page through the real window: the colour list and its buttons, the pay-period
// editor, the assignment list, the agency box, and Save with the file it writes, restarts included.
#include "pickerclick.h"
#include "testfiles.h"
#include "windowfixture.h"

#include "colors/contrast.h"
#include "platform/errorreport.h"
#include "rotation/rotation.h"
#include "settings/colorlist.h"
#include "settings/inistore.h"

#include <QAbstractItemView>
#include <QCalendarWidget>

namespace {

constexpr int FuchsiaIndex = 48; // the first of the two names of 0xFFFF00FF
constexpr int MagentaIndex = 85;
constexpr int NullIndex = 147;

// The colour list's item for a table name, and its value.
int colorIndex(std::string_view name) {
    for (int index = 0; index < NamedColorCount; ++index)
        if (NamedColors[static_cast<size_t>(index)].name == name)
            return index;
    return -1;
}

TAlphaColor colorNamed(std::string_view name) {
    return NamedColors[static_cast<size_t>(colorIndex(name))].value;
}

const QString Title = QStringLiteral("Tourwise\u00AE");
const QDate Today(2026, 12, 10);
const QLocale EnUs(QLocale::English, QLocale::UnitedStates);
const QLocale DeDe(QLocale::German, QLocale::Germany);

// The settings file of a configuration folder, as start-up places it.
QString iniPathIn(const QString& base) {
    return base + QStringLiteral("/Kestrand/Tourwise/Tourwise.ini");
}

std::optional<QString> storedValue(const QString& path, const QString& section,
                                   const QString& key) {
    return IniDocument::fromBytes(fileBytes(path)).value(section, key);
}

// Clicks the deepest child at the point, as the window system delivers a click: a date editor's
// text field is a child of its own.
void clickInside(QWidget* widget, QPoint point) {
    QWidget* target = widget->childAt(point);
    if (!target)
        target = widget;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(widget, point));
}

// Drives the page as a user does: clicks, keys and the drop-downs.
class SettingsDriver {
public:
    explicit SettingsDriver(TMainForm& form) : m_form(form) {}

    void openPage() {
        QTabBar* bar = m_form.tabCtrl->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QCOMPARE(m_form.tabCtrl->activePage(), m_form.tabSettings);
    }

    void leavePage() {
        QTest::mouseClick(m_form.sbBack2, Qt::LeftButton);
        QCOMPARE(m_form.tabCtrl->activePage(), m_form.tabCalendar);
    }

    // Opens the colour list with the button; the list must drop down.
    QAbstractItemView* openColorList(PushButton* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        QAbstractItemView* view = m_form.ccbColor->view();
        if (!QTest::qWaitFor([view] { return view->window()->isVisible(); }))
            QTest::qFail("the colour list did not drop down", __FILE__, __LINE__);
        return view;
    }

    // Highlights the item in the dropped-down list and takes it with Return.
    void chooseColor(PushButton* button, int index) {
        QAbstractItemView* view = openColorList(button);
        view->setCurrentIndex(view->model()->index(index, 0));
        QTest::keyClick(view, Qt::Key_Return);
        closed();
    }

    void dismissColorList() {
        QTest::keyClick(m_form.ccbColor->view(), Qt::Key_Escape);
        closed();
    }

    // The list's closing handler has run once the list itself is hidden again.
    void closed() {
        QTRY_VERIFY(!m_form.ccbColor->view()->window()->isVisible());
        QTRY_VERIFY(m_form.ccbColor->isHidden());
    }

    void chooseAssignment(int index) {
        QTest::mouseClick(m_form.cbPlt, Qt::LeftButton);
        QAbstractItemView* view = m_form.cbPlt->view();
        QTRY_VERIFY(view->window()->isVisible());
        view->setCurrentIndex(view->model()->index(index, 0));
        QTest::keyClick(view, Qt::Key_Return);
        QTRY_VERIFY(!view->window()->isVisible());
    }

    void revealPayPeriodEditor() {
        // A spot of the page background clear of every control.
        QTest::mouseDClick(m_form.loSettings, Qt::LeftButton, {}, QPoint(300, 400));
        QVERIFY(m_form.dePPStart->isVisible());
    }

    // Opens the editor's calendar, moves the highlighted day by `days` and takes it with Return.
    void pickPayPeriodStart(int days) {
        DateEdit* editor = m_form.dePPStart;
        openPicker(*editor);
        QWidget* popup = editor->preparedCalendar()->window();
        QTRY_VERIFY(popup->isVisible());
        QWidget* keys = popup->focusWidget() ? popup->focusWidget() : editor->preparedCalendar();
        for (int step = 0; step < std::abs(days); ++step)
            QTest::keyClick(keys, days > 0 ? Qt::Key_Right : Qt::Key_Left);
        QTest::keyClick(keys, Qt::Key_Return);
        QTRY_VERIFY(!popup->isVisible());
    }

    void typeAgency(const QString& text) {
        // Offscreen, a closed drop-down leaves no window active, as no desktop would.
        m_form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_form));
        QTest::mouseClick(m_form.edAgency, Qt::LeftButton);
        QTRY_VERIFY(m_form.edAgency->hasFocus());
        QTest::keyClick(m_form.edAgency, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(m_form.edAgency, Qt::Key_Delete);
        QTest::keyClicks(m_form.edAgency, text);
    }

    void save() {
        QTest::mouseClick(m_form.bSave, Qt::LeftButton);
        WindowFixture::answerAssignmentQuestion(m_form, std::nullopt);
    }

private:
    TMainForm& m_form;
};

} // namespace

class SettingsPageTest : public QObject {
    Q_OBJECT

private slots:
    void crewColorChoice();
    void navyBackground();
    void nullChangesNothing_data();
    void nullChangesNothing();
    void colorListDrawsItsSwatches();
    void colorListPreselection();
    void payPeriodEditorAndColorList();
    void longPressRevealsPayPeriodEditor();
    void pickedPayPeriodStart();
    void typedPayPeriodStartIsSaved();
    void assignmentNeverStaysUnselected();
    void assignmentListShowsItsItemsCentred();
    void tabOrder_data();
    void tabOrder();
    void agencyFocusStyling();
    void saveWritesEveryKeyInOrder();
    void agencyTitle_data();
    void agencyTitle();
    void storedTextsAreSavedInTheirOwnForm_data();
    void storedTextsAreSavedInTheirOwnForm();
    void refusedWrite();
    void everySettingSurvivesARestart_data();
    void everySettingSurvivesARestart();
};

void SettingsPageTest::crewColorChoice() {
    QTemporaryDir folder;
    writeFile(iniPathIn(folder.path()), "[Colors]\nAPlt=Teal\n");
    {
        WindowFixture window(Today, EnUs, folder.path());
        QVERIFY(window.ready);
        TMainForm& form = *window.form;
        SettingsDriver page(form);
        page.openPage();
        QCOMPARE(form.bAPlt->textColor(), colorNamed("Teal"));
        page.chooseColor(form.bAPlt, colorIndex("Green"));
        QCOMPARE(window.state().APltColor, colorNamed("Green"));
        QCOMPARE(form.bAPlt->textColor(), colorNamed("Green"));
        QVERIFY(form.ccbColor->isHidden());
        page.leavePage();
        // Every other crew A day of the shown month, and the legend, in the new colour.
        int crewADays = 0;
        for (size_t k = 0; k <= GridTags::LastNumberedCell; ++k) {
            const DateSerial day = window.state().GridDates[k];
            if (day == window.state().SelectedDate ||
                qdateFromSerial(day).month() != Today.month() || ShiftLetter(day, u"RDO") != u'A')
                continue;
            ++crewADays;
            QCOMPARE(form.gT[k]->textColor(), colorNamed("Green"));
        }
        QVERIFY(crewADays >= 14);
        QCOMPARE(form.gT[40]->textColor(), colorNamed("Green"));
    }
    // Closing without Save keeps the file's colour.
    WindowFixture restarted(Today, EnUs, folder.path());
    QCOMPARE(restarted.state().APltColor, colorNamed("Teal"));
    QCOMPARE(restarted.form->bAPlt->textColor(), colorNamed("Teal"));
}

void SettingsPageTest::navyBackground() {
    WindowFixture window;
    TMainForm& form = *window.form;
    SettingsDriver page(form);
    page.openPage();
    const TAlphaColor navy = colorNamed("Navy");
    const std::array<Label*, 4> captions = {form.lblPlatoon, form.lblPaydays, form.lblDebitDays,
                                            form.lblPayPeriods};
    QCOMPARE(form.bSave->textColor(), navy); // the Save text on a light page

    page.chooseColor(form.bBkGr, colorIndex("Navy"));
    QCOMPARE(window.state().BkGrColor, navy);
    // At once, before any refresh.
    for (Label* label :
         {form.lblToolbar2, form.lblToolbar4, captions[0], captions[1], captions[2], captions[3]})
        QVERIFY2(label->textColor() == Colors::White, qPrintable(label->objectName()));
    QCOMPARE(form.bBkGr->textColor(), Colors::Black);
    QCOMPARE(form.bSave->textColor(), Colors::Black);
    QCOMPARE(form.edAgency->textColor(), Colors::Black);
    for (Rectangle* rectangle :
         {form.rectToolbar1, form.rectMonthName, form.rectDaysOfWeek, form.rectGloCal,
          form.rectFooter, form.rectToolbar2, form.rectSettings, form.rectToolbar4, form.rectAbout})
        QVERIFY2(rectangle->fill() == navy, qPrintable(rectangle->objectName()));
    QCOMPARE(form.rectHelp->fill(), Colors::White);
    QCOMPARE(form.rectToolbar3->fill(), Colors::White);
    for (size_t k = 0; k < GridDayCount; ++k) {
        if (window.state().GridDates[k] != window.state().SelectedDate)
            QVERIFY2(form.gR[k]->fill() == navy, qPrintable(form.gR[k]->objectName()));
    }
    // The Calendar title and the Back buttons wait for the next refresh.
    QCOMPARE(form.lblToolbar1->textColor(), Colors::Black);
    QCOMPARE(form.sbBack2->textColor(), Colors::Black);

    page.leavePage();
    QCOMPARE(form.bSave->textColor(), Colors::Blue);
    for (Label* caption : captions)
        QCOMPARE(caption->textColor(), Colors::White);
    QCOMPARE(form.lblToolbar1->textColor(), Colors::White);
    QCOMPARE(form.sbBack2->textColor(), Colors::White);
    QCOMPARE(form.sbBack4->textColor(), Colors::White);
    QCOMPARE(form.lblToolbar3->textColor(), Colors::Black); // on the white Help page
    QCOMPARE(form.rectHelp->fill(), Colors::White);
}

void SettingsPageTest::nullChangesNothing_data() {
    QTest::addColumn<QString>("button");
    for (const char* button : {"bAPlt", "bBPlt", "bXPlt", "bLdTr", "bBkGr"})
        QTest::newRow(button) << QString::fromLatin1(button);
}

void SettingsPageTest::nullChangesNothing() {
    QFETCH(QString, button);
    WindowFixture window;
    TMainForm& form = *window.form;
    SettingsDriver page(form);
    page.openPage();
    const ProgramState before = window.state();
    const std::array<PushButton*, 6> buttons = {form.bAPlt, form.bBPlt, form.bXPlt,
                                                form.bLdTr, form.bBkGr, form.bSave};
    std::array<TAlphaColor, 6> texts{};
    for (size_t i = 0; i < buttons.size(); ++i)
        texts[i] = buttons[i]->textColor();

    page.chooseColor(form.findChild<PushButton*>(button), NullIndex);
    QCOMPARE(form.ccbColor->currentIndex(), NullIndex);
    QVERIFY(!form.ccbColor->isPopupOpen());
    QVERIFY(form.ccbColor->isHidden());
    QCOMPARE(form.lblToolbar2->text(), Title);
    QCOMPARE(window.state().APltColor, before.APltColor);
    QCOMPARE(window.state().BPltColor, before.BPltColor);
    QCOMPARE(window.state().XPltColor, before.XPltColor);
    QCOMPARE(window.state().LdTrColor, before.LdTrColor);
    QCOMPARE(window.state().BkGrColor, before.BkGrColor);
    for (size_t i = 0; i < buttons.size(); ++i)
        QCOMPARE(buttons[i]->textColor(), texts[i]);
    QCOMPARE(form.rectSettings->fill(), Colors::White);
}

void SettingsPageTest::colorListDrawsItsSwatches() {
    // Each swatch is drawn when first shown: the colour inside a grey frame, inset by one
    // transparent pixel; the "Null" item, last, is transparent throughout.
    ColorComboBox list;
    QCOMPARE(list.count(), NamedColorCount);
    QCOMPARE(list.currentIndex(), NamedColorCount - 1);
    QCOMPARE(list.iconSize(), QSize(16, 16));
    for (int i = 0; i < list.count(); ++i) {
        const QIcon icon = list.itemIcon(i);
        QCOMPARE(icon.availableSizes(), QList<QSize>{QSize(16, 16)});
        const QImage picture =
            icon.pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(picture.size(), QSize(16, 16));
        const NamedColor& named = NamedColors[static_cast<size_t>(i)];
        const TAlphaColor color = named.value;
        QCOMPARE(list.itemText(i),
                 QString::fromLatin1(named.name.data(), static_cast<qsizetype>(named.name.size())));
        QCOMPARE(picture.pixel(0, 0), 0u);
        QCOMPARE(picture.pixel(15, 15), 0u);
        if (color == Colors::Null) {
            QCOMPARE(picture.pixel(1, 1), 0u);
            QCOMPARE(picture.pixel(8, 8), 0u);
            continue;
        }
        QCOMPARE(picture.pixel(1, 1), 0xFF808080u);
        QCOMPARE(picture.pixel(14, 8), 0xFF808080u);
        // Premultiplied and back: translucent colours may lose a little.
        const QColor inside = QColor::fromRgba(picture.pixel(8, 8));
        const QColor expected = QColor::fromRgba(color);
        QCOMPARE(inside.alpha(), expected.alpha());
        if (expected.alpha() == 255)
            QCOMPARE(inside, expected);
    }
}

void SettingsPageTest::colorListPreselection() {
    QTemporaryDir folder;
    writeFile(iniPathIn(folder.path()), "[Colors]\nBPlt=#FF123456\n");
    WindowFixture window(Today, EnUs, folder.path());
    TMainForm& form = *window.form;
    SettingsDriver page(form);
    page.openPage();
    // A value outside the table before any choice: "Null" stays, and closing stores nothing.
    page.openColorList(form.bBPlt);
    QCOMPARE(form.ccbColor->currentIndex(), NullIndex);
    page.dismissColorList();
    QCOMPARE(window.state().BPltColor, 0xFF123456u);

    // The value of Fuchsia and Magenta highlights the first of its names, also after "Magenta".
    QAbstractItemView* view = page.openColorList(form.bXPlt);
    QCOMPARE(form.ccbColor->currentIndex(), FuchsiaIndex);
    QCOMPARE(view->currentIndex().row(), FuchsiaIndex);
    page.dismissColorList();
    page.chooseColor(form.bXPlt, MagentaIndex);
    QCOMPARE(window.state().XPltColor, Colors::Fuchsia);
    page.openColorList(form.bXPlt);
    QCOMPARE(form.ccbColor->currentIndex(), FuchsiaIndex);
    page.dismissColorList();

    // Opening for crew A selects Red; opening for the value outside the table keeps Red selected.
    page.openColorList(form.bAPlt);
    QCOMPARE(form.ccbColor->currentIndex(), colorIndex("Red"));
    page.dismissColorList();
    page.openColorList(form.bBPlt);
    QCOMPARE(form.ccbColor->currentIndex(), colorIndex("Red"));
    QCOMPARE(form.ccbColor->tag(), 2);
    page.dismissColorList();
}

void SettingsPageTest::payPeriodEditorAndColorList() {
    WindowFixture window;
    TMainForm& form = *window.form;
    SettingsDriver page(form);
    page.openPage();
    // From Idle the colour list leaves the title alone.
    page.openColorList(form.bLdTr);
    QCOMPARE(form.lblToolbar2->text(), Title);
    page.dismissColorList();

    page.revealPayPeriodEditor();
    QVERIFY(form.lblToolbar2->text().isEmpty());
    page.revealPayPeriodEditor(); // again: still editing
    QVERIFY(form.lblToolbar2->text().isEmpty());
    QCOMPARE(form.dePPStart->date(), QDate(2020, 12, 20));

    page.openColorList(form.bAPlt);
    QVERIFY(form.dePPStart->isHidden());
    QVERIFY(form.ccbColor->isVisible());
    QVERIFY(form.lblToolbar2->text().isEmpty()); // until the list closes
    page.dismissColorList();
    QCOMPARE(form.lblToolbar2->text(), Title);
    QVERIFY(form.dePPStart->isHidden());
    QCOMPARE(form.tabCtrl->activePage(), form.tabSettings);
}

void SettingsPageTest::longPressRevealsPayPeriodEditor() {
    WindowFixture window;
    TMainForm& form = *window.form;
    SettingsDriver page(form);
    page.openPage();
    const QPoint background(300, 400);
    QTest::mouseClick(form.loSettings, Qt::LeftButton, {}, background);
    QVERIFY(form.dePPStart->isHidden());
    QCOMPARE(form.lblToolbar2->text(), Title);
    // Held well past the long-tap time.
    QTest::mousePress(form.loSettings, Qt::LeftButton, {}, background);
    QTRY_VERIFY(form.dePPStart->isVisible());
    QTest::mouseRelease(form.loSettings, Qt::LeftButton, {}, background);
    QVERIFY(form.lblToolbar2->text().isEmpty());
}

void SettingsPageTest::pickedPayPeriodStart() {
    WindowFixture window;
    TMainForm& form = *window.form;
    SettingsDriver page(form);
    const auto labelsFollow = [&](DateSerial start) {
        int labels = 0;
        for (size_t k = 0; k <= GridTags::LastNumberedCell; ++k) {
            const DateSerial day = window.state().GridDates[k];
            const bool first = IsPayPeriodStart(day, start);
            labels += first ? 1 : 0;
            if (form.gX[k]->text() != (first ? PayPeriodLabel(day, start) : QString()))
                return false;
        }
        return labels >= 2;
    };
    page.openPage();
    QTest::mouseClick(form.swPayPeriods, Qt::LeftButton);
    QVERIFY(form.swPayPeriods->isChecked());
    page.leavePage();
    QVERIFY(labelsFollow(44185));

    page.openPage();
    page.revealPayPeriodEditor();
    page.pickPayPeriodStart(+1);
    QCOMPARE(window.state().PayPeriodStart, 44186.0);
    QVERIFY(form.dePPStart->isVisible()); // stays after its calendar closes
    QVERIFY(labelsFollow(44185));         // until the next refresh
    page.leavePage();
    QVERIFY(labelsFollow(44186));
    QVERIFY(!QFileInfo::exists(window.state().IniPath)); // not saved yet

    // The calendar opens on the start in force, whatever the editor showed.
    page.openPage();
    page.revealPayPeriodEditor();
    form.dePPStart->setDate(QDate(2024, 1, 1));
    page.pickPayPeriodStart(0);
    QCOMPARE(form.dePPStart->date(), QDate(2020, 12, 21));
    page.save();
    QCOMPARE(storedValue(window.state().IniPath, "Config", "PPStart"), "12/21/2020");
}

void SettingsPageTest::typedPayPeriodStartIsSaved() {
    WindowFixture window;
    TMainForm& form = *window.form;
    SettingsDriver page(form);
    page.openPage();
    page.revealPayPeriodEditor();
    // Down on the month field, without opening the calendar.
    clickInside(form.dePPStart, QPoint(6, form.dePPStart->height() / 2));
    QTest::keyClick(form.dePPStart, Qt::Key_Down);
    QCOMPARE(form.dePPStart->date(), QDate(2020, 11, 20));
    QCOMPARE(window.state().PayPeriodStart, 44185.0);
    page.save();
    QCOMPARE(qdateFromSerial(window.state().PayPeriodStart), QDate(2020, 11, 20));
    QCOMPARE(storedValue(window.state().IniPath, "Config", "PPStart"), "11/20/2020");
}

void SettingsPageTest::assignmentNeverStaysUnselected() {
    WindowFixture window;
    TMainForm& form = *window.form;
    SettingsDriver page(form);
    page.openPage();
    page.chooseAssignment(10);
    QCOMPARE(form.cbPlt->currentText(), "B3");
    form.cbPlt->setCurrentIndex(-1);
    QTest::mouseClick(form.cbPlt, Qt::LeftButton);
    QAbstractItemView* view = form.cbPlt->view();
    QTRY_VERIFY(view->window()->isVisible());
    QTest::keyClick(view, Qt::Key_Escape);
    QTRY_COMPARE(form.cbPlt->currentIndex(), 0);
    QCOMPARE(form.cbPlt->currentText(), "RDO");
}

// Read from the pixels of the dropped-down list: each item's text sits in the middle of its row.
void SettingsPageTest::assignmentListShowsItsItemsCentred() {
    WindowFixture window;
    TMainForm& form = *window.form;
    SettingsDriver page(form);
    page.openPage();
    QTest::mouseClick(form.cbPlt, Qt::LeftButton);
    QAbstractItemView* view = form.cbPlt->view();
    QTRY_VERIFY(view->window()->isVisible());
    const QImage pixels = view->viewport()->grab().toImage();
    for (int row : {0, 1, 14}) { // "RDO", "A1", "B7"; row 0 may be highlighted
        const QRect item = view->visualRect(view->model()->index(row, 0));
        const QRgb background = pixels.pixel(item.left() + 1, item.top() + 1);
        int left = item.right();
        int right = item.left();
        for (int y = item.top(); y <= item.bottom(); ++y)
            for (int x = item.left(); x <= item.right(); ++x)
                if (qGray(pixels.pixel(x, y)) < qGray(background) - 80 ||
                    qGray(pixels.pixel(x, y)) > qGray(background) + 80) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        QVERIFY2(left < right, qPrintable(QStringLiteral("no text in row %1").arg(row)));
        const int textCentre = (left + right) / 2;
        QVERIFY2(std::abs(textCentre - item.center().x()) <= 3,
                 qPrintable(QStringLiteral("row %1: text %2 ... %3 in %4 ... %5")
                                .arg(row)
                                .arg(left)
                                .arg(right)
                                .arg(item.left())
                                .arg(item.right())));
    }
    QTest::keyClick(view, Qt::Key_Escape);
    QTRY_VERIFY(!view->window()->isVisible());
}

void SettingsPageTest::tabOrder_data() {
    QTest::addColumn<bool>("editorShown");
    QTest::addColumn<QStringList>("order");
    const QStringList page = {"bBkGr", "edAgency", "swPayPeriods", "bAPlt",       "bBPlt",
                              "bLdTr", "bXPlt",    "cbPlt",        "swDebitDays", "swPaydays"};
    QTest::newRow("pay-period editor hidden")
        << false << QStringList{"tabCtrlHeaders", "bSave"} + page + QStringList{"tabCtrlHeaders"};
    // Inside the date editor Tab steps through its month, day and year, as every Qt date editor.
    QTest::newRow("pay-period editor shown")
        << true
        << QStringList{"tabCtrlHeaders", "dePPStart", "dePPStart", "dePPStart", "bSave"} + page +
               QStringList{"tabCtrlHeaders"};
}

// Tab from where the page change left the focus walks the title bar (colour list, pay-period
// editor, Save), then BkGr, the agency box and the pay-period switch, then the rest in the order
// they were made, and back to the tab headers.
void SettingsPageTest::tabOrder() {
    QFETCH(bool, editorShown);
    QFETCH(QStringList, order);
    WindowFixture window;
    TMainForm& form = *window.form;
    SettingsDriver page(form);
    page.openPage();
    if (editorShown)
        page.revealPayPeriodEditor();
    QStringList visited;
    for (qsizetype step = 0; step < order.size(); ++step) {
        QWidget* focused = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
        QTest::keyClick(focused, Qt::Key_Tab);
        visited << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                                : QStringLiteral("(none)"));
    }
    QCOMPARE(visited, order);
}

void SettingsPageTest::agencyFocusStyling() {
    WindowFixture window;
    TMainForm& form = *window.form;
    SettingsDriver page(form);
    page.openPage();
    QCOMPARE(form.edAgency->opacity(), 0.5);
    QTest::mouseClick(form.edAgency, Qt::LeftButton);
    QTRY_VERIFY(form.edAgency->hasFocus());
    QCOMPARE(form.edAgency->opacity(), 1.0);
    QVERIFY(form.edAgency->font().bold());
    QVERIFY(!form.edAgency->font().italic());
    QVERIFY(!form.edAgency->font().underline());
    QVERIFY(!form.edAgency->font().strikeOut());
    QTest::keyClick(form.edAgency, Qt::Key_Tab);
    QTRY_VERIFY(!form.edAgency->hasFocus());
    QCOMPARE(form.edAgency->opacity(), 0.5);
    QVERIFY(!form.edAgency->font().bold());
}

void SettingsPageTest::saveWritesEveryKeyInOrder() {
    WindowFixture window;
    TMainForm& form = *window.form;
    SettingsDriver page(form);
    page.openPage();
    page.revealPayPeriodEditor();
    page.save();
    QCOMPARE(form.tabCtrl->activePage(), form.tabCalendar);
    QVERIFY(form.dePPStart->isHidden());
    QVERIFY(form.ccbColor->isHidden());
    QCOMPARE(form.lblToolbar2->text(), Title);
    QCOMPARE(fileBytes(window.state().IniPath), QByteArray("[Config]\n"
                                                           "RDO=RDO\n"
                                                           "ShowPaydays=0\n"
                                                           "ShowDebit=0\n"
                                                           "ShowPayPeriods=0\n"
                                                           "PPStart=12/20/2020\n"
                                                           "[Colors]\n"
                                                           "APlt=Red\n"
                                                           "BPlt=Blue\n"
                                                           "XPlt=Fuchsia\n"
                                                           "LdTr=Silver\n"
                                                           "BkGr=White\n"));
}

// Each title is typed and saved in turn in one run; then the program starts again.
void SettingsPageTest::agencyTitle_data() {
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<std::optional<QString>>("stored"); // nullopt: no Agency line
    QTest::addColumn<QString>("nextTitle");
    const QString longTitle = QString(2100, u'x').replace(2046, 3, QStringLiteral("ABC"));
    QTest::newRow("unchanged: no Agency line")
        << QStringList{} << std::optional<QString>() << QStringLiteral("Velmora Fire");
    QTest::newRow("changed") << QStringList{"Station 9"} << std::optional<QString>("Station 9")
                             << QStringLiteral("Station 9");
    QTest::newRow("changed and changed back keeps the other text")
        << QStringList{"Station 9", "Velmora Fire"} << std::optional<QString>("Station 9")
        << QStringLiteral("Station 9");
    QTest::newRow("letter case counts as a change")
        << QStringList{"velmora fire"} << std::optional<QString>("velmora fire")
        << QStringLiteral("velmora fire");
    QTest::newRow("empty: the default next time")
        << QStringList{""} << std::optional<QString>("") << QStringLiteral("Velmora Fire");
    QTest::newRow("2,100 characters come back as 2,047")
        << QStringList{longTitle} << std::optional<QString>(longTitle.left(2047))
        << longTitle.left(2047);
}

void SettingsPageTest::agencyTitle() {
    QFETCH(QStringList, typed);
    QFETCH(std::optional<QString>, stored);
    QFETCH(QString, nextTitle);
    QTemporaryDir folder;
    const QString path = iniPathIn(folder.path());
    {
        WindowFixture window(Today, EnUs, folder.path());
        TMainForm& form = *window.form;
        SettingsDriver page(form);
        if (typed.isEmpty())
            typed << QString(); // one Save without touching the title
        for (const QString& title : typed) {
            page.openPage();
            if (!title.isNull())
                page.typeAgency(title);
            page.save();
            QCOMPARE(form.tabCtrl->activePage(), form.tabCalendar);
        }
        QCOMPARE(window.state().LoadedAgency, "Velmora Fire");
        QCOMPARE(storedValue(path, "Config", "Agency"), stored);
        if (stored && stored->size() == 2047) // the file has the whole title
            QVERIFY(fileBytes(path).contains(typed.last().toLatin1()));
    }
    WindowFixture restarted(Today, EnUs, folder.path());
    QCOMPARE(restarted.form->edAgency->text(), nextTitle);
    QCOMPARE(restarted.state().LoadedAgency, nextTitle);
}

void SettingsPageTest::storedTextsAreSavedInTheirOwnForm_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("storedText");
    QTest::addColumn<QString>("savedText");
    QTest::newRow("b3 selects B3") << "Config"
                                   << "RDO"
                                   << "b3"
                                   << "B3";
    QTest::newRow("unknown assignment") << "Config"
                                        << "RDO"
                                        << "C9"
                                        << "RDO";
    QTest::newRow("switch 2 is on") << "Config"
                                    << "ShowPaydays"
                                    << "2"
                                    << "1";
    QTest::newRow("switch 0x1 is on") << "Config"
                                      << "ShowDebit"
                                      << "0x1"
                                      << "1";
    QTest::newRow("switch yes is off") << "Config"
                                       << "ShowPayPeriods"
                                       << "yes"
                                       << "0";
    QTest::newRow("switch 1 stays 1") << "Config"
                                      << "ShowPaydays"
                                      << "1"
                                      << "1";
    QTest::newRow("Magenta as Fuchsia") << "Colors"
                                        << "XPlt"
                                        << "Magenta"
                                        << "Fuchsia";
    QTest::newRow("# colour round trip") << "Colors"
                                         << "BPlt"
                                         << "#80123456"
                                         << "#80123456";
    QTest::newRow("clRed as Red") << "Colors"
                                  << "LdTr"
                                  << "clRed"
                                  << "Red";
    QTest::newRow("unconvertible colour: default") << "Colors"
                                                   << "BkGr"
                                                   << "Reddish"
                                                   << "White";
}

void SettingsPageTest::storedTextsAreSavedInTheirOwnForm() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, storedText);
    QFETCH(QString, savedText);
    QTemporaryDir folder;
    const QString path = iniPathIn(folder.path());
    writeFile(path, QStringLiteral("[%1]\n%2=%3\n").arg(section, key, storedText).toUtf8());
    WindowFixture window(Today, EnUs, folder.path());
    SettingsDriver page(*window.form);
    page.openPage();
    page.save();
    QCOMPARE(storedValue(path, section, key), savedText);
}

void SettingsPageTest::refusedWrite() {
    QStringList reports;
    setErrorReporter([&reports](const QString& message) { reports << message; });
    const auto restoreReporter = qScopeGuard([] { setErrorReporter({}); });
    WindowFixture window;
    TMainForm& form = *window.form;
    SettingsDriver page(form);
    const QString path = window.state().IniPath;
    QVERIFY(QDir().mkpath(path)); // a folder where the file belongs refuses the write

    page.openPage();
    page.chooseColor(form.bAPlt, colorIndex("Green"));
    page.typeAgency(QStringLiteral("Station 9"));
    page.revealPayPeriodEditor();
    clickInside(form.dePPStart, QPoint(6, form.dePPStart->height() / 2));
    QTest::keyClick(form.dePPStart, Qt::Key_Down);
    const ProgramState before = window.state();
    page.save();

    QCOMPARE(reports, QStringList{"Unable to write to " + path + "."});
    QCOMPARE(form.tabCtrl->activePage(), form.tabSettings);
    QVERIFY(form.dePPStart->isVisible());
    QCOMPARE(form.dePPStart->date(), QDate(2020, 11, 20));
    QVERIFY(form.ccbColor->isHidden());
    QVERIFY(form.lblToolbar2->text().isEmpty());
    QCOMPARE(window.state().PayPeriodStart, before.PayPeriodStart); // the typed date not in use
    QCOMPARE(window.state().APltColor, colorNamed("Green"));
    QCOMPARE(form.edAgency->text(), "Station 9");
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(QDir(path).isEmpty());
    QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList{"Tourwise.ini"}); // no temporary file left behind

    // Once the way is clear, Save goes through.
    QVERIFY(QDir(path).removeRecursively());
    page.save();
    QCOMPARE(reports.size(), 1);
    QCOMPARE(form.tabCtrl->activePage(), form.tabCalendar);
    QCOMPARE(storedValue(path, "Colors", "APlt"), "Green");
    QCOMPARE(storedValue(path, "Config", "Agency"), "Station 9");
    QCOMPARE(storedValue(path, "Config", "PPStart"), "11/20/2020");
}

void SettingsPageTest::everySettingSurvivesARestart_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("storedDate");
    QTest::newRow("en_US") << EnUs << "12/23/2020";
    QTest::newRow("de_DE") << DeDe << "23.12.2020";
}

void SettingsPageTest::everySettingSurvivesARestart() {
    QFETCH(QLocale, locale);
    QFETCH(QString, storedDate);
    QTemporaryDir folder;
    const QString agency = QStringLiteral("Station 9; North = East");
    {
        WindowFixture window(Today, locale, folder.path());
        TMainForm& form = *window.form;
        SettingsDriver page(form);
        page.openPage();
        page.chooseAssignment(10);
        for (SwitchButton* overlay : {form.swPaydays, form.swDebitDays, form.swPayPeriods})
            QTest::mouseClick(overlay, Qt::LeftButton);
        page.revealPayPeriodEditor();
        page.pickPayPeriodStart(+3);
        page.chooseColor(form.bAPlt, MagentaIndex);
        page.chooseColor(form.bBPlt, colorIndex("Teal"));
        page.chooseColor(form.bXPlt, colorIndex("Gold"));
        page.chooseColor(form.bLdTr, colorIndex("Darkgray"));
        page.chooseColor(form.bBkGr, colorIndex("Navy"));
        page.typeAgency(agency);
        page.save();
        QCOMPARE(form.tabCtrl->activePage(), form.tabCalendar);
        QCOMPARE(storedValue(window.state().IniPath, "Config", "PPStart"), storedDate);
        QCOMPARE(storedValue(window.state().IniPath, "Colors", "APlt"), "Fuchsia");
    }
    WindowFixture restarted(Today, locale, folder.path());
    TMainForm& form = *restarted.form;
    const ProgramState& state = restarted.state();
    QCOMPARE(form.cbPlt->currentText(), "B3");
    QVERIFY(form.swPaydays->isChecked());
    QVERIFY(form.swDebitDays->isChecked());
    QVERIFY(form.swPayPeriods->isChecked());
    QCOMPARE(qdateFromSerial(state.PayPeriodStart), QDate(2020, 12, 23));
    QCOMPARE(form.dePPStart->date(), QDate(2020, 12, 23));
    QCOMPARE(state.APltColor, Colors::Fuchsia);
    QCOMPARE(state.BPltColor, colorNamed("Teal"));
    QCOMPARE(state.XPltColor, colorNamed("Gold"));
    QCOMPARE(state.LdTrColor, colorNamed("Darkgray"));
    QCOMPARE(state.BkGrColor, colorNamed("Navy"));
    QCOMPARE(form.bBPlt->textColor(), colorNamed("Teal"));
    QCOMPARE(form.rectSettings->fill(), colorNamed("Navy"));
    QCOMPARE(form.edAgency->text(), agency);
    QCOMPARE(state.LoadedAgency, agency);
    QVERIFY(form.lblToolbar1->text().contains(agency));
}

QTEST_MAIN(SettingsPageTest)
#include "tst_settingspage.moc"
