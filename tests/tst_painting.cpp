// The Calendar page as painted: day cells, page rectangles, overlays, the legend, the header, the
// weekday row, the status line and what screen readers hear. Today is 10 December 2026 throughout.
#include "windowfixture.h"

#include "app/mainform.h"
#include "colors/contrast.h"
#include "core/clock.h"
#include "days/daytext.h"
#include "days/entrystore.h"
#include "monthview/monthgrid.h"
#include "rotation/rotation.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

#include <functional>
#include <memory>
#include <tuple>
#include <vector>

namespace {

const DateSerial Today = serialFromYmd(2026, 12, 10);       // crew B, RDO group B2
const DateSerial PeriodStart = serialFromYmd(2026, 12, 13); // PP1 begins, RDO group A3

struct Window : WindowFixture {
    explicit Window(const QLocale& locale = QLocale(QLocale::English, QLocale::UnitedStates))
        : WindowFixture(qdateFromSerial(Today), locale) {}
    TMainForm& operator*() { return *form; }
    TMainForm* operator->() { return form.get(); }

    // The header reads the fills of the previous painting, so a new colour needs two refreshes.
    void refresh() {
        form->RefreshAll(form->state().SelectedDate);
        form->RefreshAll(form->state().SelectedDate);
    }
    void select(DateSerial day) {
        BuildMonth(form->state(), day);
        refresh();
    }
    void assign(const QString& group) {
        form->cbPlt->setCurrentIndex(form->cbPlt->findText(group));
        QCOMPARE(form->cbPlt->currentText(), group);
    }
    void overlays(bool paydays, bool debitDays, bool payPeriods) {
        form->swPaydays->setChecked(paydays);
        form->swDebitDays->setChecked(debitDays);
        form->swPayPeriods->setChecked(payPeriods);
        refresh();
    }
    int cellOf(DateSerial day) const {
        const auto& dates = form->state().GridDates;
        for (int k = 0; k < GridDayCount; ++k)
            if (dates[static_cast<size_t>(k)] == day)
                return k;
        return -1;
    }
};

// The user's days of December 2026 as B2, one of each kind and a few together. B2 is on duty on
// the 2nd, 3rd, 6th, 7th, 14th and 15th and off on the 8th, 9th, 11th and 16th.
DayEntry decemberEntry(int day, EntryKind kind, std::optional<int> minutes = std::nullopt,
                       const QString& with = {}, LeaveType leave = LeaveType::None,
                       const QString& note = {}) {
    DayEntry entry;
    entry.date = serialFromYmd(2026, 12, day);
    entry.kind = kind;
    entry.minutes = minutes;
    entry.with = with;
    entry.leaveType = leave;
    entry.note = note;
    return entry;
}

const QList<DayEntry> DecemberDays{
    decemberEntry(2, EntryKind::TradeOut, std::nullopt, "J. Smith"),
    decemberEntry(3, EntryKind::Leave, std::nullopt, {}, LeaveType::Vacation),
    decemberEntry(6, EntryKind::Leave, 10 * 60, {}, LeaveType::Sick),
    decemberEntry(7, EntryKind::Holdover, 2 * 60),
    decemberEntry(8, EntryKind::Overtime, 10 * 60),
    decemberEntry(9, EntryKind::TradeIn, 24 * 60, "K. Lee"),
    decemberEntry(11, EntryKind::Note, std::nullopt, {}, LeaveType::None,
                  "Station 4 drill, bring gear"),
    decemberEntry(14, EntryKind::TradeOut, 12 * 60, "J. Smith"),
    decemberEntry(14, EntryKind::Note, std::nullopt, {}, LeaveType::None, "Boots"),
    decemberEntry(16, EntryKind::TradeOut, std::nullopt, "R. Alvarez"), // a day off: no fit
};

// What each day's cell says where it has room for all of it.
const QHash<int, QString> DecemberWords{
    {2, "Trade"},  {3, "Vac"},      {6, "Sick 10h"}, {7, "HO 2h"},
    {8, "OT 10h"}, {9, "Trade in"}, {11, "Note"},    {14, "Trade 12h \u00b7 Note"},
    {16, "Trade"},
};

void recordDecember(TMainForm& form) {
    for (const DayEntry& entry : DecemberDays)
        QVERIFY(form.entryStore().add(entry).ok);
}

// A pixel of antialiased text in `ink`: within a quarter of the range in every channel.
bool near(QRgb pixel, TAlphaColor ink) {
    const auto close = [](int a, int b) { return std::abs(a - b) <= 64; };
    return close(qRed(pixel), qRed(ink)) && close(qGreen(pixel), qGreen(ink)) &&
           close(qBlue(pixel), qBlue(ink));
}

// Where the picture of the window goes for a person to look at, when a folder is given.
void keepPicture(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("TOURWISE_TEST_PICTURES");
    if (folder.isEmpty())
        return;
    const double scale = window.devicePixelRatioF();
    window.grab().save(QStringLiteral("%1/%2@%3x.png").arg(folder, name).arg(scale));
}

QString hex(TAlphaColor color) {
    return QStringLiteral("%1").arg(color, 8, 16, QLatin1Char('0'));
}

#define QCOMPARE_COLOR(actual, expected) QCOMPARE(hex(actual), hex(expected))

enum class Cell {
    SelectedA,
    SelectedB,
    SelectedX,
    SelectedZ,
    MonthA,
    MonthB,
    MonthX,
    MonthZ,
    Other
};

} // namespace

Q_DECLARE_METATYPE(Cell)

class PaintingTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setTodayProvider({}); }

    void decisionTable_data();
    void decisionTable();
    void pageRectangles_data();
    void pageRectangles();
    void overlays_data();
    void overlays();
    void twoLineSubLabel();
    void paydaysUnderlined();
    void legend();

    void calendarTitle_data();
    void calendarTitle();
    void agencyIsPlainText();
    void monthHeader_data();
    void monthHeader();
    void monthHeaderInTheLocale_data();
    void monthHeaderInTheLocale();
    void weekdayRow_data();
    void weekdayRow();
    void textsOfARowShareOneSize_data();
    void textsOfARowShareOneSize();
    void todayButton();
    void statusText_data();
    void statusText();
    void statusTotalNeverShrinksTheLine();
    void textsOnNavy();

    void cellsNameTheirEntries_data();
    void cellsNameTheirEntries();
    void cellTooltipSaysTheReaderName();
    void cellWordsFollowEveryChange();
    void statusLineStaysReadable_data();
    void statusLineStaysReadable();
    void cellsTellScreenReaders();
    void selectedCellPixel();
    void cellLinesShareOneWidth();
};

// Every row of the decision table, read back from the painted controls, on three backgrounds.
void PaintingTest::decisionTable_data() {
    QTest::addColumn<TAlphaColor>("background");
    QTest::addColumn<Cell>("cell");
    QTest::addColumn<TAlphaColor>("fill");
    QTest::addColumn<TAlphaColor>("border");
    QTest::addColumn<TAlphaColor>("number");
    QTest::addColumn<TAlphaColor>("subLabel");

    using namespace Colors;
    struct Background {
        const char* name;
        TAlphaColor color;
        TAlphaColor contrast; // text on it
        TAlphaColor border;   // border of a cell filled with it
    };
    const Background backgrounds[] = {
        {"White", White, Black, Slategray},
        {"Slategray", Slategray, Black, Black},
        {"Navy", Navy, White, Slategray},
    };
    for (const Background& b : backgrounds) {
        auto row = [&](const char* name) -> QTestData& {
            return QTest::addRow("%s, %s", b.name, name) << b.color;
        };
        row("selected A") << Cell::SelectedA << Red << Slategray << White << White;
        row("selected B") << Cell::SelectedB << Blue << Black << White << White;
        row("selected X") << Cell::SelectedX << Fuchsia << Slategray << Black << Black;
        row("selected Z") << Cell::SelectedZ << Silver << Slategray << b.color << Black;
        row("month A") << Cell::MonthA << b.color << b.border << Red << b.contrast;
        row("month B") << Cell::MonthB << b.color << b.border << Blue << b.contrast;
        row("month X") << Cell::MonthX << b.color << b.border << Fuchsia << b.contrast;
        row("month Z") << Cell::MonthZ << b.color << b.border << Silver << b.contrast;
        row("other month") << Cell::Other << b.color << b.border << Silver << b.contrast;
    }
}

void PaintingTest::decisionTable() {
    QFETCH(TAlphaColor, background);
    QFETCH(Cell, cell);
    QFETCH(TAlphaColor, fill);
    QFETCH(TAlphaColor, border);
    QFETCH(TAlphaColor, number);
    QFETCH(TAlphaColor, subLabel);

    Window form;
    form->state().BkGrColor = background;
    ProgramState& state = form->state();
    int k = -1;
    // Days of December 2026 by their duty letter for assignment "A3".
    auto dayWith = [&](QChar letter, DateSerial besides) {
        for (int d = 1; d <= 31; ++d) {
            const DateSerial day = serialFromYmd(2026, 12, d);
            if (day != besides && ShiftLetter(day, u"A3") == letter)
                return day;
        }
        return DateSerial(0);
    };
    switch (cell) {
    case Cell::SelectedA:
    case Cell::SelectedB:
    case Cell::SelectedX: {
        const QChar letter = cell == Cell::SelectedA ? u'A' : cell == Cell::SelectedB ? u'B' : u'X';
        form.assign(QStringLiteral("A3"));
        form.select(dayWith(letter, 0));
        k = form.cellOf(state.SelectedDate);
        break;
    }
    case Cell::MonthA:
    case Cell::MonthB:
    case Cell::MonthX: {
        const QChar letter = cell == Cell::MonthA ? u'A' : cell == Cell::MonthB ? u'B' : u'X';
        form.assign(QStringLiteral("A3"));
        form.select(Today);
        k = form.cellOf(dayWith(letter, Today));
        break;
    }
    case Cell::Other:
        form.select(Today);
        k = 0; // 29 November
        break;
    case Cell::SelectedZ:
        // The zeroed state of start-up: every cell holds day 0, which is the selected day.
        state.SelectedDate = 0;
        state.GridDates.fill(0);
        form.refresh();
        k = 12;
        break;
    case Cell::MonthZ:
        // Before the rotation's first day, same month, not selected: 30 and 31 December 1899.
        state.SelectedDate = 1;
        state.GridDates.fill(0);
        form.refresh();
        k = 12;
        break;
    }
    QVERIFY(k >= 0 && k < 40);
    const auto i = static_cast<size_t>(k);
    QCOMPARE_COLOR(form->gR[i]->fill(), fill);
    QCOMPARE_COLOR(form->gR[i]->stroke(), border);
    QCOMPARE(form->gR[i]->strokeThickness(), 0.5);
    QCOMPARE_COLOR(form->gT[i]->textColor(), number);
    QCOMPARE_COLOR(form->gX[i]->textColor(), subLabel);
}

void PaintingTest::pageRectangles_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<TAlphaColor>("background");
    QTest::addColumn<TAlphaColor>("fill");
    QTest::addColumn<TAlphaColor>("border"); // ignored where there is none
    QTest::addColumn<double>("thickness");

    using namespace Colors;
    for (const auto& [bkName, bk, bkBorder] :
         {std::tuple{"White", White, Slategray}, std::tuple{"Slategray", Slategray, Black},
          std::tuple{"Navy", Navy, Slategray}}) {
        for (const char* white : {"rectHelp", "rectToolbar3"})
            QTest::addRow("%s on %s", white, bkName) << white << bk << White << Slategray << 0.5;
        for (const char* plain : {"rectToolbar1", "rectMonthName", "rectGloCal", "rectFooter"})
            QTest::addRow("%s on %s", plain, bkName) << plain << bk << bk << Null << 0.0;
        for (const char* framed :
             {"rectDaysOfWeek", "rectToolbar2", "rectSettings", "rectToolbar4", "rectAbout"})
            QTest::addRow("%s on %s", framed, bkName) << framed << bk << bk << bkBorder << 0.5;
    }
}

void PaintingTest::pageRectangles() {
    QFETCH(QString, name);
    QFETCH(TAlphaColor, background);
    QFETCH(TAlphaColor, fill);
    QFETCH(TAlphaColor, border);
    QFETCH(double, thickness);

    Window form;
    form->state().BkGrColor = background;
    form.refresh();
    auto* rectangle = form->findChild<Rectangle*>(name);
    QVERIFY(rectangle);
    QCOMPARE_COLOR(rectangle->fill(), fill);
    QCOMPARE(rectangle->strokeThickness(), thickness);
    if (thickness > 0)
        QCOMPARE_COLOR(rectangle->stroke(), border);
}

void PaintingTest::overlays_data() {
    QTest::addColumn<bool>("debitDays");
    QTest::addColumn<bool>("payPeriods");
    QTest::addColumn<bool>("corner");
    QTest::addColumn<QString>("onPeriodStart"); // sub-label of 13 December
    QTest::addColumn<QString>("onOtherDay");    // sub-label of 10 December

    QTest::newRow("none") << false << false << false << QString() << QString();
    QTest::newRow("RDOs") << true << false << true << QStringLiteral("A3") << QStringLiteral("B2");
    QTest::newRow("pay periods") << false << true << true << QStringLiteral("PP1") << QString();
    QTest::newRow("both") << true << true << true << QStringLiteral("PP1\rA3")
                          << QStringLiteral("B2");
}

void PaintingTest::overlays() {
    QFETCH(bool, debitDays);
    QFETCH(bool, payPeriods);
    QFETCH(bool, corner);
    QFETCH(QString, onPeriodStart);
    QFETCH(QString, onOtherDay);

    Window form;
    form.overlays(false, debitDays, payPeriods);
    const ProgramState& state = form->state();
    const FontSizes& fonts = state.Fonts;
    for (int k = 0; k < 40; ++k) {
        const auto i = static_cast<size_t>(k);
        const DateSerial day = state.GridDates[i];
        const QString where = QStringLiteral("cell %1").arg(k);
        FreeText* number = form->gT[i];
        QVERIFY2(number->text() == QString::number(ymdFromSerial(day).day), qPrintable(where));
        QVERIFY2(number->bold(), qPrintable(where));
        if (corner) {
            QVERIFY2(number->horizontalAlign() == TextAlign::Leading &&
                         number->verticalAlign() == TextAlign::Leading,
                     qPrintable(where));
            QVERIFY2(number->textMargins() == QMarginsF(4, -2, 0, 0), qPrintable(where));
            QVERIFY2(qFuzzyCompare(number->fontSize(), double(fonts.dayCorner)), qPrintable(where));
        } else {
            QVERIFY2(number->horizontalAlign() == TextAlign::Center &&
                         number->verticalAlign() == TextAlign::Center,
                     qPrintable(where));
            QVERIFY2(number->textMargins() == QMarginsF(), qPrintable(where));
            QVERIFY2(qFuzzyCompare(number->fontSize(), double(fonts.day)), qPrintable(where));
        }
        // Every sub-label, adjacent months included, follows the switches.
        FreeText* subLabel = form->gX[i];
        if (debitDays && !payPeriods)
            QVERIFY2(subLabel->text() == RdoGroupOf(day), qPrintable(where));
        if (!debitDays)
            QVERIFY2(subLabel->text().startsWith(QLatin1String("PP")) ==
                         (payPeriods && IsPayPeriodStart(day, state.PayPeriodStart)),
                     qPrintable(where));
        if (debitDays || payPeriods) {
            const double size = debitDays && payPeriods ? fonts.subLabelSmall : fonts.subLabel;
            QVERIFY2(qFuzzyCompare(subLabel->fontSize(), size), qPrintable(where));
        } else {
            QVERIFY2(subLabel->text().isEmpty(), qPrintable(where));
        }
    }
    QCOMPARE(form->gX[static_cast<size_t>(form.cellOf(PeriodStart))]->text(), onPeriodStart);
    QCOMPARE(form->gX[static_cast<size_t>(form.cellOf(Today))]->text(), onOtherDay);
}

void PaintingTest::twoLineSubLabel() {
    Window form;
    form.overlays(false, true, true);
    // 29 November and 27 December begin PP26 and PP2; the line break is a carriage return.
    QCOMPARE(form->gX[0]->text(), QStringLiteral("PP26\rB4"));
    QCOMPARE(form->gX[static_cast<size_t>(form.cellOf(serialFromYmd(2026, 12, 27)))]->text(),
             QStringLiteral("PP2\rB2"));
    // Both lines must show: the label is tall enough for two lines at the small size.
    FreeText* twoLines = form->gX[0];
    QVERIFY(twoLines->height() >= 2 * twoLines->fontSize());
    // Switching the overlays off empties it and leaves its size alone.
    const double size = twoLines->fontSize();
    form.overlays(false, false, false);
    QCOMPARE(twoLines->text(), QString());
    QCOMPARE(twoLines->fontSize(), size);
}

void PaintingTest::paydaysUnderlined() {
    Window form;
    form.overlays(true, false, false);
    // Paydays fall every 14th day from 6 January 2012: 4 and 18 December, and 1 January 2027
    // in the trailing days.
    const QList<DateSerial> paydays = {serialFromYmd(2026, 12, 4), serialFromYmd(2026, 12, 18),
                                       serialFromYmd(2027, 1, 1)};
    for (int k = 0; k < 40; ++k) {
        const DateSerial day = form->state().GridDates[static_cast<size_t>(k)];
        QVERIFY2(form->gT[static_cast<size_t>(k)]->underline() == paydays.contains(day),
                 qPrintable(QStringLiteral("cell %1").arg(k)));
    }
    form.overlays(false, false, false);
    for (int k = 0; k < 40; ++k)
        QVERIFY(!form->gT[static_cast<size_t>(k)]->underline());
}

void PaintingTest::legend() {
    Window form;
    form->state().APltColor = Colors::Darkblue;
    form->state().BPltColor = Colors::Slategray;
    form.overlays(true, true, true);
    const FontSizes& fonts = form->state().Fonts;
    const std::pair<size_t, const char*> crews[] = {{40, "A"}, {41, "B"}};
    for (const auto& [k, crew] : crews) {
        FreeText* text = form->gT[k];
        QCOMPARE(text->text(), QLatin1String(crew));
        QVERIFY(text->bold());
        QVERIFY(!text->underline());
        QVERIFY(qFuzzyCompare(text->fontSize(), double(fonts.day)));
        // The overlays do not move the legend into the corner.
        QCOMPARE(text->horizontalAlign(), TextAlign::Center);
        QCOMPARE(form->gX[k]->text(), QString());
        QCOMPARE_COLOR(form->gR[k]->fill(), Colors::White);
    }
    QCOMPARE_COLOR(form->gT[40]->textColor(), Colors::Darkblue);
    QCOMPARE_COLOR(form->gT[41]->textColor(), Colors::Slategray);
}

void PaintingTest::calendarTitle_data() {
    QTest::addColumn<QString>("agency");
    QTest::addColumn<QString>("assignment");
    QTest::addColumn<QString>("title");
    QTest::newRow("no assignment") << "Velmora Fire"
                                   << "RDO"
                                   << "Velmora Fire";
    QTest::newRow("assignment") << "Velmora Fire"
                                << "A3"
                                << "Velmora Fire - A3";
    QTest::newRow("empty agency") << ""
                                  << "B1"
                                  << " - B1";
    QTest::newRow("empty agency, no assignment") << ""
                                                 << "RDO"
                                                 << "";
}

void PaintingTest::calendarTitle() {
    QFETCH(QString, agency);
    QFETCH(QString, assignment);
    QFETCH(QString, title);
    Window form;
    form->edAgency->setText(agency);
    form.assign(assignment);
    form.refresh();
    QCOMPARE(form->lblToolbar1->text(), title);
}

void PaintingTest::agencyIsPlainText() {
    Window form;
    const QRect titleBefore = form->lblToolbar1->geometry();
    const QSize windowBefore = form->size();
    form->edAgency->setText(QStringLiteral("<b>x</b>"));
    form.refresh();
    QCOMPARE(form->lblToolbar1->text(), QStringLiteral("<b>x</b>"));

    // The settings file allows 2,047 characters; such a title is elided, never widening anything.
    form->edAgency->setMaxLength(4096);
    form->edAgency->setText(QString(2047, QLatin1Char('W')));
    form.refresh();
    QCOMPARE(form->lblToolbar1->text().size(), 2047);
    QVERIFY(!form->grab().isNull());
    QCOMPARE(form->size(), windowBefore);
    QCOMPARE(form->lblToolbar1->geometry(), titleBefore);
}

void PaintingTest::monthHeader_data() {
    QTest::addColumn<DateSerial>("day");
    QTest::addColumn<QString>("text");
    QTest::newRow("current year") << Today << "December";
    QTest::newRow("January of the current year") << serialFromYmd(2026, 1, 31) << "January";
    QTest::newRow("next year") << serialFromYmd(2027, 12, 10) << "Dec 2027";
    QTest::newRow("last year") << serialFromYmd(2025, 3, 1) << "Mar 2025";
}

void PaintingTest::monthHeader() {
    QFETCH(DateSerial, day);
    QFETCH(QString, text);
    Window form;
    form.select(day);
    QCOMPARE(form->lblMonthName->text(), text);
    QVERIFY(qFuzzyCompare(form->lblMonthName->fontSize(), double(form->state().Fonts.month)));
}

// A month shown alone takes its stand-alone name: inflecting languages use another form inside a
// date ("декабря", "grudnia"). As a heading it starts with a capital.
void PaintingTest::monthHeaderInTheLocale_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("thisYear");  // December 2026
    QTest::addColumn<QString>("otherYear"); // March 2027
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "December"
                           << "Mar 2027";
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "Dezember"
                           << "M\u00e4r 2027";
    QTest::newRow("ru_RU") << QLocale(QLocale::Russian, QLocale::Russia)
                           << "\u0414\u0435\u043a\u0430\u0431\u0440\u044c"
                           << "\u041c\u0430\u0440\u0442 2027";
    QTest::newRow("pl_PL") << QLocale(QLocale::Polish, QLocale::Poland) << "Grudzie\u0144"
                           << "Mar 2027";
    QTest::newRow("fi_FI") << QLocale(QLocale::Finnish, QLocale::Finland) << "Joulukuu"
                           << "Maalis 2027";
    QTest::newRow("C") << QLocale::c() << "December"
                       << "Mar 2027";
}

void PaintingTest::monthHeaderInTheLocale() {
    QFETCH(QLocale, locale);
    QFETCH(QString, thisYear);
    QFETCH(QString, otherYear);
    Window form(locale);
    QCOMPARE(form->lblMonthName->text(), thisYear);
    form.select(serialFromYmd(2027, 3, 1));
    QCOMPARE(form->lblMonthName->text(), otherYear);
}

void PaintingTest::weekdayRow_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                           << QStringList{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    // Both weeks start on Monday; the row still starts on Sunday.
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany)
                           << QStringList{"So.", "Mo.", "Di.", "Mi.", "Do.", "Fr.", "Sa."};
    QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France)
                           << QStringList{"dim.", "lun.", "mar.", "mer.", "jeu.", "ven.", "sam."};
}

void PaintingTest::weekdayRow() {
    QFETCH(QLocale, locale);
    QFETCH(QStringList, names);
    Window form(locale);
    QStringList shown;
    for (Label* label : form->lblDOW)
        shown << label->text();
    QCOMPARE(shown, names);
    QVERIFY(qFuzzyCompare(form->lblDOW[6]->fontSize(), double(form->state().Fonts.dow)));
    // The grid agrees: its first column holds Sundays.
    QCOMPARE(dayOfWeek(form->state().GridDates[0]), 1);
}

// In a tall window the proportional sizes no longer fit a cell's width. Fitted one by one, a
// "7" would stand taller than the "17" beside it and wide numbers would run into each other; the
// numbers, the legend and the weekday names each share one size, with room left between.
void PaintingTest::textsOfARowShareOneSize_data() {
    QTest::addColumn<int>("outerHeight");
    QTest::addColumn<bool>("withSubLabels");
    QTest::addColumn<QLocale>("locale");
    const QLocale enUs(QLocale::English, QLocale::UnitedStates);
    for (int height : {640, 900, 1000, 1200}) {
        for (bool subLabels : {false, true})
            QTest::addRow("%d high%s", height, subLabels ? ", RDO groups shown" : "")
                << height << subLabels << enUs;
    }
    // Weekday names of very different widths.
    QTest::newRow("1200 high, ru_RU")
        << 1200 << false << QLocale(QLocale::Russian, QLocale::Russia);
    QTest::newRow("1200 high, fi_FI")
        << 1200 << false << QLocale(QLocale::Finnish, QLocale::Finland);
}

void PaintingTest::textsOfARowShareOneSize() {
    QFETCH(int, outerHeight);
    QFETCH(bool, withSubLabels);
    QFETCH(QLocale, locale);
    Window form(locale);
    const QSize frame = form->frameGeometry().size() - form->size();
    form->resize(QSize(350, outerHeight) - frame);
    form.overlays(false, withSubLabels, false);

    const double numberSize = form->gT[0]->fontSize();
    for (int k = 0; k <= GridTags::LastNumberedCell; ++k)
        QCOMPARE(form->gT[size_t(k)]->fontSize(), numberSize);
    QVERIFY(numberSize <=
            (withSubLabels ? form->state().Fonts.dayCorner : form->state().Fonts.day));
    // Every two-digit number keeps clear of the cell's sides.
    QFont font = form->gT[0]->font();
    font.setBold(true);
    font.setPixelSize(int(std::lround(numberSize)));
    const QFontMetricsF metrics(font);
    for (int number = 10; number <= 31; ++number)
        QVERIFY2(metrics.horizontalAdvance(QString::number(number)) <= form->gT[0]->width() - 4,
                 qPrintable(QString::number(number)));
    if (!withSubLabels)
        QCOMPARE(form->gT[40]->fontSize(), numberSize); // the legend

    const double weekdaySize = form->lblDOW[0]->fontSize();
    for (Label* name : form->lblDOW) {
        QCOMPARE(name->fontSize(), weekdaySize);
        QFont nameFont = name->font();
        nameFont.setPixelSize(int(std::lround(weekdaySize)));
        QVERIFY(QFontMetricsF(nameFont).horizontalAdvance(name->text()) <= name->width() - 4);
    }
}

void PaintingTest::todayButton() {
    Window form;
    using namespace Colors;
    QCOMPARE(form->state().SelectedDate, Today);
    QCOMPARE(form->bToday->textColors(), (ButtonTextColors{Dimgray, Dimgray, Dimgray, Blue}));
    QVERIFY(!form->bToday->bold());

    QTest::keyClick(form.form.get(), Qt::Key_Right);
    QCOMPARE(form->bToday->textColors(), (ButtonTextColors{Black, Black, Black, Blue}));
    QVERIFY(form->bToday->bold());
    // The background does not change it.
    form->state().BkGrColor = Navy;
    form.refresh();
    QCOMPARE(form->bToday->textColors(), (ButtonTextColors{Black, Black, Black, Blue}));

    QTest::mouseClick(form->bToday, Qt::LeftButton);
    QCOMPARE(form->state().SelectedDate, Today);
    QVERIFY(!form->bToday->bold());
}

// The pay period's hours join the status line only at full size: a taller window, with its
// larger status font, leaves them out instead of drawing the line smaller.
void PaintingTest::statusTotalNeverShrinksTheLine() {
    Window form;
    form.assign(QStringLiteral("B2"));
    form.select(Today);
    QSet<bool> seen;
    // The start-up size first, then ever taller windows.
    for (int height : {0, 800, 1000, 1200}) {
        if (height > 0) {
            form->resize(350, height);
            QTRY_COMPARE(form->height(), height);
        }
        const QStringList lines = form->lblStatus->text().split(u'\r');
        QCOMPARE(lines.value(1).startsWith(QStringLiteral("* B2 *")), true);
        const bool shown = lines.value(1).contains(QStringLiteral("PP26"));
        seen.insert(shown);
        QVERIFY(qFuzzyCompare(form->lblStatus->fontSize(), double(form->state().Fonts.status)));
        if (shown)
            QVERIFY2(QFontMetricsF(form->lblStatus->textFont()).horizontalAdvance(lines[1]) <=
                         form->lblStatus->textArea().width(),
                     qPrintable(QString::number(height)));
    }
    QCOMPARE(seen, (QSet<bool>{true, false}));
}

void PaintingTest::statusText_data() {
    QTest::addColumn<DateSerial>("day");
    QTest::addColumn<QString>("assignment");
    QTest::addColumn<QString>("text");
    // With a sub-group the hours of the day's pay period follow, where they fit: six duties.
    QTest::newRow("ordinary day") << Today << "RDO"
                                  << "12/10/26\rB2";
    QTest::newRow("pay-period start") << PeriodStart << "RDO"
                                      << "12/13/26\rPP1 - A3";
    QTest::newRow("own RDO") << Today << "B2"
                             << "12/10/26\r* B2 * \u00b7 PP26 144 h";
    QTest::newRow("own RDO on a pay-period start") << PeriodStart << "A3"
                                                   << "12/13/26\r* A3 * \u00b7 PP1 144 h";
    QTest::newRow("another group's RDO") << Today << "A3"
                                         << "12/10/26\rB2 \u00b7 PP26 144 h";
}

void PaintingTest::statusText() {
    QFETCH(DateSerial, day);
    QFETCH(QString, assignment);
    QFETCH(QString, text);
    Window form;
    form.assign(assignment);
    // The overlays do not change the status line.
    for (bool on : {false, true}) {
        form.overlays(on, on, on);
        form.select(day);
        QCOMPARE(form->lblStatus->text(), text);
    }
    QVERIFY(qFuzzyCompare(form->lblStatus->fontSize(), double(form->state().Fonts.status)));
}

void PaintingTest::textsOnNavy() {
    Window form;
    using namespace Colors;
    form->state().BkGrColor = Navy;
    form.refresh();
    for (Label* label : {form->lblToolbar1, form->lblToolbar2, form->lblToolbar4,
                         form->lblMonthName, form->lblStatus})
        QCOMPARE_COLOR(label->textColor(), White);
    for (Label* label : form->lblDOW)
        QCOMPARE_COLOR(label->textColor(), White);
    QCOMPARE_COLOR(form->sbBack2->textColor(), White);
    QCOMPARE_COLOR(form->sbBack4->textColor(), White);
    // The Help page keeps its white title bar.
    QCOMPARE_COLOR(form->lblToolbar3->textColor(), Black);
    QCOMPARE_COLOR(form->sbBack3->textColor(), Black);
    QCOMPARE_COLOR(form->deDate->textColor(), Black);
    QCOMPARE_COLOR(form->dePPStart->textColor(), Black);

    // Back to white: everything black again.
    form->state().BkGrColor = White;
    form.refresh();
    QCOMPARE_COLOR(form->lblMonthName->textColor(), Black);
    QCOMPARE_COLOR(form->lblDOW[0]->textColor(), Black);
    QCOMPARE_COLOR(form->sbBack2->textColor(), Black);
}

void PaintingTest::cellsNameTheirEntries_data() {
    QTest::addColumn<QSize>("outerSize");
    QTest::addColumn<bool>("subLabels");
    QTest::addColumn<bool>("words");       // the cells with entries name them
    QTest::addColumn<QList<int>>("whole"); // days whose words are shown whole
    const QList<int> all = DecemberWords.keys();
    QTest::newRow("350 x 640") << QSize(350, 640) << false << true
                               << QList<int>{2, 3, 6, 7, 8, 9, 11, 16};
    QTest::newRow("350 x 640, RDO groups and periods")
        << QSize(350, 640) << true << true << QList<int>{2, 3, 6, 7, 8, 9, 11, 16};
    QTest::newRow("1100 x 950") << QSize(1100, 950) << false << true << all;
    QTest::newRow("1100 x 950, RDO groups and periods") << QSize(1100, 950) << true << true << all;
    QTest::newRow("250 x 400: disc and ring") << QSize(250, 400) << false << false << QList<int>{};
    QTest::newRow("250 x 400, RDO groups and periods: disc and ring")
        << QSize(250, 400) << true << false << QList<int>{};
}

// Where a cell has room, its entries stand as words under the number, in the colour of its
// other texts, clear of the number and the sub-label, cut to fit; small cells keep the disc and
// the ring. Runs again at 1.5 and 2 times scale.
void PaintingTest::cellsNameTheirEntries() {
    QFETCH(QSize, outerSize);
    QFETCH(bool, subLabels);
    QFETCH(bool, words);
    QFETCH(QList<int>, whole);
    Window form;
    form.assign(QStringLiteral("B2"));
    recordDecember(*form);
    const QSize frame = form->frameGeometry().size() - form->size();
    form->resize(outerSize - frame);
    // A desktop may keep a window inside its screen: the cells are as large as they came out.
    QTRY_VERIFY(form->width() > outerSize.width() / 2);
    form.overlays(false, subLabels, subLabels);
    form.select(Today);
    const QImage picture = form->grab().toImage();
    keepPicture(*form, QStringLiteral("cells-%1x%2%3")
                           .arg(outerSize.width())
                           .arg(outerSize.height())
                           .arg(subLabels ? QStringLiteral("-sublabels") : QString()));
    const qreal ratio = picture.devicePixelRatio();

    QStringList seen;
    for (int day = 1; day <= 31; ++day) {
        const int k = form.cellOf(serialFromYmd(2026, 12, day));
        FreeText* number = form->gT[size_t(k)];
        const FreeText* subLabel = form->gX[size_t(k)];
        const FreeText::MarkWords mark = number->markWords();
        const QString name = QString::number(day);
        if (!DecemberWords.contains(day)) {
            QVERIFY2(mark.area.isEmpty(), qPrintable(name));
            continue;
        }
        QCOMPARE(number->cornerMark().words.join(QStringLiteral(" \u00b7 ")), DecemberWords[day]);
        QCOMPARE(number->cornerMark().flagged, day == 16);
        QCOMPARE(mark.area.isEmpty(), !words);
        if (!words)
            continue;
        const QString& full = DecemberWords[day];
        if (whole.contains(day))
            QCOMPARE(mark.shown, full);
        QVERIFY2(mark.shown == full || (mark.shown.endsWith(QChar(0x2026)) &&
                                        full.startsWith(mark.shown.chopped(1).trimmed())),
                 qPrintable(name + u' ' + mark.shown));
        QCOMPARE(!mark.flag.isEmpty(), day == 16);
        // Inside the cell, clear of the number and of the sub-label.
        QVERIFY2(QRectF(number->rect()).contains(mark.area), qPrintable(name));
        QVERIFY2(!mark.area.intersects(number->textInk()), qPrintable(name));
        const QRectF subLabelInk = subLabel->textInk().translated(subLabel->pos());
        QVERIFY2(subLabel->text().isEmpty() || !mark.area.intersects(subLabelInk),
                 qPrintable(name));
        QVERIFY(mark.font.pixelSize() >= 9);
        // Drawn, in the colour of the cell's texts.
        const QRectF inPicture(number->mapTo(form.form.get(), QPointF(mark.area.topLeft())),
                               mark.area.size());
        const TAlphaColor ink = subLabel->textColor() | 0xff000000u;
        int inked = 0;
        const QRect pixels = QRectF(inPicture.topLeft() * ratio, inPicture.size() * ratio)
                                 .toAlignedRect()
                                 .intersected(picture.rect());
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            for (int x = pixels.left(); x <= pixels.right(); ++x)
                inked += near(picture.pixel(x, y), ink);
        QVERIFY2(inked > 10, qPrintable(name));
        seen << mark.shown;
    }
    if (!words) {
        // The disc of a day worked, in the colour of the texts, in its corner.
        const int k = form.cellOf(serialFromYmd(2026, 12, 7));
        const FreeText* number = form->gT[size_t(k)];
        QCOMPARE(number->cornerMark().shape, FreeText::CornerMark::Shape::Disc);
        const double size = std::min(form->state().Fonts.subLabel * 0.8, number->width() * 0.19);
        const double inset = std::max(2.0, size * 0.3);
        const QPoint centre =
            number->mapTo(form.form.get(),
                          QPointF(inset + size / 2, number->height() - inset - size / 2).toPoint());
        QCOMPARE_COLOR(picture.pixel((QPointF(centre) * ratio).toPoint()) | 0xff000000u,
                       form->gX[size_t(k)]->textColor() | 0xff000000u);
    }
}

// Hovering a cell shows in a tooltip what a screen reader hears for it.
void PaintingTest::cellTooltipSaysTheReaderName() {
    Window form;
    form.assign(QStringLiteral("B2"));
    recordDecember(*form);
    form.refresh();
    Rectangle* cell = form->gR[size_t(form.cellOf(serialFromYmd(2026, 12, 14)))];
    const QString name = QAccessible::queryAccessibleInterface(cell)->text(QAccessible::Name);
    QVERIFY2(name.contains(QLatin1String("traded away: J. Smith works, 12 hours")),
             qPrintable(name));
    QHelpEvent hover(QEvent::ToolTip, cell->rect().center(),
                     cell->mapToGlobal(cell->rect().center()));
    QApplication::sendEvent(cell, &hover);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), name);
    QToolTip::hideText();
}

void PaintingTest::statusLineStaysReadable_data() {
    QTest::addColumn<QSize>("outerSize");
    QTest::addColumn<bool>("total"); // the pay period's hours fit
    QTest::newRow("250 x 400") << QSize(250, 400) << false;
    QTest::newRow("350 x 640") << QSize(350, 640) << true;
    QTest::newRow("1100 x 950") << QSize(1100, 950) << true;
}

// A long status line gives way by leaving out the period's hours, then by cutting its lines,
// and never by drawing them smaller than 9 pixels; a note shows its text.
void PaintingTest::statusLineStaysReadable() {
    QFETCH(QSize, outerSize);
    QFETCH(bool, total);
    Window form;
    form.assign(QStringLiteral("B2"));
    recordDecember(*form);
    const QSize frame = form->frameGeometry().size() - form->size();
    form->resize(outerSize - frame);
    QTRY_VERIFY(form->width() > outerSize.width() / 2);
    form.select(serialFromYmd(2026, 12, 14));
    Label* status = form->lblStatus;
    const QStringList lines = status->text().split(u'\r');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QStringLiteral("12/14/26"));
    QCOMPARE(lines[1].contains(QLatin1String("PP1")), total);
    // The trade first, the note after it with its text.
    QCOMPARE(lines[2], QStringLiteral("J. Smith works 12 h \u00b7 Note: Boots"));
    const QFont shown = status->shownFont();
    QVERIFY2(shown.pixelSize() >= 9, qPrintable(QString::number(shown.pixelSize())));
    QVERIFY(shown.pixelSize() >= std::min<int>(std::lround(form->state().Fonts.status), 13));
    const QStringList drawn = status->shownText().split(u'\n');
    QCOMPARE(drawn.size(), 3);
    const QFontMetricsF metrics(shown);
    for (qsizetype line = 0; line < drawn.size(); ++line) {
        QVERIFY2(metrics.horizontalAdvance(drawn[line]) <= status->textArea().width() + 0.5,
                 qPrintable(drawn[line]));
        // What does not fit is cut at its end, never left out.
        QVERIFY(drawn[line] == lines[line] || (drawn[line].endsWith(QChar(0x2026)) &&
                                               lines[line].startsWith(drawn[line].chopped(1))));
    }
    keepPicture(*form,
                QStringLiteral("status-%1x%2").arg(outerSize.width()).arg(outerSize.height()));

    // A long note, alone on its day, is cut, not shrunk.
    form.select(serialFromYmd(2026, 12, 11));
    QVERIFY(status->text().endsWith(QLatin1String("Note: Station 4 drill, bring gear")));
    QVERIFY(status->shownFont().pixelSize() >= 9);
}

void PaintingTest::cellsTellScreenReaders() {
    Window form;
    form.assign(QStringLiteral("A3"));
    form.refresh();
    const ProgramState& state = form->state();
    for (int k = 0; k < 40; ++k) {
        const auto i = static_cast<size_t>(k);
        QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(form->gR[i]);
        QVERIFY(cell);
        QCOMPARE(cell->text(QAccessible::Name),
                 DayDescription(form->schedule().day(state.GridDates[i]), state.Format.locale,
                                QStringLiteral("A3")));
    }
    // Spot checks of what the description says.
    const auto nameOf = [&](DateSerial day) {
        return QAccessible::queryAccessibleInterface(
                   form->gR[static_cast<size_t>(form.cellOf(day))])
            ->text(QAccessible::Name);
    };
    const QString today = nameOf(Today);
    QVERIFY2(today.contains(QLatin1String("December 10, 2026")), qPrintable(today));
    QVERIFY2(today.contains(QLatin1String("crew B")), qPrintable(today));
    QVERIFY2(today.contains(QLatin1String("B2")), qPrintable(today));
    const QString start = nameOf(PeriodStart);
    QVERIFY2(start.contains(QLatin1String("your RDO")) && start.contains(QLatin1String("PP1")),
             qPrintable(start));
    const QString payday = nameOf(serialFromYmd(2026, 12, 18));
    QVERIFY2(payday.contains(QLatin1String("payday")), qPrintable(payday));
    QVERIFY(!today.contains(QLatin1String("payday")));

    // The text follows the selection without a repaint of its own.
    QTest::keyClick(form.form.get(), Qt::Key_PageDown);
    QCOMPARE(QAccessible::queryAccessibleInterface(form->gR[0])->text(QAccessible::Name),
             DayDescription(form->schedule().day(state.GridDates[0]), state.Format.locale,
                            QStringLiteral("A3")));
    // The status line and the month header read as their text, both lines of the status.
    const QString status = form->lblStatus->text();
    QCOMPARE(status.count(QLatin1Char('\r')), 1);
    QCOMPARE(QAccessible::queryAccessibleInterface(form->lblStatus)->text(QAccessible::Name),
             status);
    QCOMPARE(QAccessible::queryAccessibleInterface(form->lblMonthName)->text(QAccessible::Name),
             QStringLiteral("Jan 2027"));
    QVERIFY(QAccessible::queryAccessibleInterface(form->gR[40])
                ->text(QAccessible::Name)
                .endsWith(QLatin1String("A")));
}

void PaintingTest::selectedCellPixel() {
    Window form;
    form.refresh();
    Rectangle* cell = form->gR[static_cast<size_t>(form.cellOf(Today))];
    const QImage picture = form->grab().toImage();
    // Low in the cell, between the centred number and the bottom border.
    const QRect area(cell->mapTo(form.form.get(), QPoint(0, 0)), cell->size());
    const QPoint probe(area.center().x(), area.bottom() - 6);
    const qreal ratio = picture.devicePixelRatio();
    QCOMPARE_COLOR(picture.pixel((QPointF(probe) * ratio).toPoint()), Colors::Blue);
    // Its neighbour shows the background there.
    const QPoint beside = probe + QPoint(area.width(), 0);
    QCOMPARE_COLOR(picture.pixel((QPointF(beside) * ratio).toPoint()), Colors::White);
}

// Every line between two day cells is as wide as every other, at any scale: at a fractional
// one (this test runs again under QT_SCALE_FACTOR=1.5) a border that began inside a device pixel
// came out one pixel wide in one place and two in the next.
void PaintingTest::cellLinesShareOneWidth() {
    Window form;
    form.refresh();
    const QImage picture = form->grab().toImage();
    const qreal ratio = picture.devicePixelRatio();
    const auto same = [](QRgb pixel, TAlphaColor fill) {
        return qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)) == (fill | 0xff000000u);
    };
    // The pixels across the edge at `edge` (logical, in the window) that show neither cell's
    // fill: the line between them. The band reaches 4 px into each cell, short of any text.
    const auto lineWidth = [&](QPoint edge, Qt::Orientation across, const Rectangle* first,
                               const Rectangle* second) {
        const QPoint step = across == Qt::Horizontal ? QPoint(1, 0) : QPoint(0, 1);
        const QPoint start = (QPointF(edge - 4 * step) * ratio).toPoint();
        const QPoint end = (QPointF(edge + 4 * step) * ratio).toPoint();
        int width = 0;
        for (QPoint at = start; at != end; at += step) {
            const QRgb pixel = picture.pixel(at);
            if (!same(pixel, first->fill()) && !same(pixel, second->fill()))
                ++width;
        }
        return width;
    };
    const auto topLeft = [&](const Rectangle* cell) {
        return cell->mapTo(form.form.get(), QPoint(0, 0));
    };

    QStringList widths; // "cell|cell: width"
    QSet<int> seen;
    for (int k = 0; k < GridDayCount; ++k) {
        const Rectangle* cell = form->gR[static_cast<size_t>(k)];
        if (k % 7 < 6) {
            const Rectangle* right = form->gR[static_cast<size_t>(k + 1)];
            const int width = lineWidth(topLeft(right) + QPoint(0, 6), Qt::Horizontal, cell, right);
            widths << QStringLiteral("%1|%2: %3").arg(k).arg(k + 1).arg(width);
            seen.insert(width);
        }
        if (k + 7 < GridDayCount) {
            const Rectangle* below = form->gR[static_cast<size_t>(k + 7)];
            const int width = lineWidth(topLeft(below) + QPoint(6, 0), Qt::Vertical, cell, below);
            widths << QStringLiteral("%1/%2: %3").arg(k).arg(k + 7).arg(width);
            seen.insert(width);
        }
    }
    QVERIFY2(seen.size() == 1 && !seen.contains(0), qPrintable(widths.join(QStringLiteral(", "))));
}

// A cell keeps the layout of its words between paints; after any change of what it depends on
// it must be the layout a new cell in the same state gets.
void PaintingTest::cellWordsFollowEveryChange() {
    struct CellState {
        QSize size{110, 90};
        QString text = QStringLiteral("14");
        QStringList words{QStringLiteral("Trade")};
        bool flagged = false;
        double fontSize = 24;
        double wordsSize = 14;
        bool bold = false;
        QString subLabel;
        QPoint subLabelAt{60, 60};
    };
    const auto makeCell = [](const CellState& state, QWidget* parent) {
        auto* cell = new FreeText(parent);
        cell->resize(state.size);
        cell->setText(state.text);
        cell->setFontSize(state.fontSize);
        cell->setBold(state.bold);
        cell->setAlignment(TextAlign::Leading, TextAlign::Leading);
        auto* inside = new FreeText(cell);
        inside->setFontSize(12);
        inside->setText(state.subLabel);
        inside->setGeometry(QRect(state.subLabelAt, QSize(45, 25)));
        cell->setCornerMark({FreeText::CornerMark::Shape::Disc, state.flagged, state.words},
                            Colors::Black, 8, state.wordsSize);
        return cell;
    };
    const auto apply = [](FreeText* cell, const CellState& state) {
        cell->resize(state.size);
        cell->setText(state.text);
        cell->setFontSize(state.fontSize);
        cell->setBold(state.bold);
        auto* inside = cell->findChild<FreeText*>();
        inside->setText(state.subLabel);
        inside->move(state.subLabelAt);
        cell->setCornerMark({FreeText::CornerMark::Shape::Disc, state.flagged, state.words},
                            Colors::Black, 8, state.wordsSize);
    };
    const auto same = [](const FreeText::MarkWords& a, const FreeText::MarkWords& b) {
        return a.area == b.area && a.flag == b.flag && a.shown == b.shown && a.font == b.font;
    };

    QWidget parent;
    CellState state;
    FreeText* kept = makeCell(state, &parent);
    QVERIFY(!kept->markWords().shown.isEmpty());
    const std::vector<std::function<void(CellState&)>> changes{
        [](CellState& s) {
            s.words = {QStringLiteral("OT 10h"), QStringLiteral("Note")};
        },
        [](CellState& s) { s.flagged = true; },
        [](CellState& s) { s.size = QSize(70, 60); },
        [](CellState& s) { s.fontSize = 30; },
        [](CellState& s) { s.fontSize = 30.4; },
        [](CellState& s) { s.bold = true; },
        [](CellState& s) { s.wordsSize = 11; },
        [](CellState& s) { s.text = QStringLiteral("8"); },
        [](CellState& s) { s.subLabel = QStringLiteral("PP1"); },
        [](CellState& s) { s.subLabelAt = QPoint(20, 30); },
        [](CellState& s) { s.words = {QStringLiteral("Sick 10h")}; },
    };
    for (std::size_t step = 0; step < changes.size(); ++step) {
        changes[step](state);
        apply(kept, state);
        FreeText* fresh = makeCell(state, &parent);
        QVERIFY2(same(kept->markWords(), fresh->markWords()),
                 qPrintable(QStringLiteral("after change %1: \"%2\" against \"%3\"")
                                .arg(step)
                                .arg(kept->markWords().shown, fresh->markWords().shown)));
        delete fresh;
    }
}

QTEST_MAIN(PaintingTest)
#include "tst_painting.moc"
