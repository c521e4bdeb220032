// Renders the real window offscreen in a chosen state and writes a PNG: for the README screenshot
// and for checking the look after a change. Not part of the program.
//
//   snapshot OUT.png [--page calendar|settings|help|about] [--size 350x640] [--today 2026-12-10]
//            [--select 2026-12-10] [--overlays] [--background Navy] [--assignment A3]
//            [--entry 2026-12-11:trade-out[:MINUTES[:WITH]] ...]
//   (a leave type, "vacation" or "sick", as the kind records leave; a note's last part is its
//   text)
#include "app/mainform.h"
#include "colors/colortext.h"
#include "core/clock.h"
#include "days/entrystore.h"
#include "monthview/monthgrid.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QCommandLineParser parser;
    parser.addPositionalArgument("output", "the PNG to write");
    const QCommandLineOption page("page", "page to show", "name", "calendar");
    const QCommandLineOption size("size", "window size", "WxH", "350x640");
    const QCommandLineOption todayOption("today", "today's date", "date", "2026-12-10");
    const QCommandLineOption select("select", "selected date", "date");
    const QCommandLineOption overlays("overlays", "all three overlays on");
    const QCommandLineOption background("background", "background colour", "colour");
    const QCommandLineOption assignment("assignment", "assignment", "group");
    const QCommandLineOption entry("entry", "an entry of the user's days",
                                   "date:kind[:min[:with]]");
    parser.addOptions({page, size, todayOption, select, overlays, background, assignment, entry});
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        std::fputs("usage: snapshot OUT.png [options]\n", stderr);
        return 2;
    }

    const QDate todayDate = QDate::fromString(parser.value(todayOption), Qt::ISODate);
    setTodayProvider([todayDate] { return serialFromQDate(todayDate); });
    QTemporaryDir settings;
    StartupEnvironment environment;
    environment.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    environment.configBase = settings.path();
    environment.dataBase = settings.path();
    for (const QString& text : parser.values(entry)) {
        const QStringList parts = text.split(u':');
        DayEntry made;
        made.date = serialFromQDate(QDate::fromString(parts.value(0), Qt::ISODate));
        // A leave type stands for leave of that type; a note takes the last part as its text.
        const std::optional<LeaveType> leave = leaveTypeFromName(parts.value(1));
        made.kind =
            leave ? EntryKind::Leave : entryKindFromName(parts.value(1)).value_or(EntryKind::Note);
        made.leaveType = leave.value_or(LeaveType::None);
        if (!parts.value(2).isEmpty())
            made.minutes = parts.value(2).toInt();
        (made.kind == EntryKind::Note ? made.note : made.with) = parts.value(3);
        if (!EntryStore(daysFilePath(environment.dataBase)).add(made).ok)
            return 1;
    }
    TMainForm form(environment);

    const QStringList dimensions = parser.value(size).split('x');
    form.resize(dimensions.value(0).toInt(), dimensions.value(1).toInt());
    form.swPaydays->setChecked(parser.isSet(overlays));
    form.swDebitDays->setChecked(parser.isSet(overlays));
    form.swPayPeriods->setChecked(parser.isSet(overlays));
    if (parser.isSet(assignment))
        form.cbPlt->setCurrentText(parser.value(assignment));
    if (parser.isSet(background)) {
        const ColorConversion color = ColorFromText(parser.value(background));
        if (color.ok)
            form.state().BkGrColor = color.value;
    }
    if (parser.isSet(select))
        BuildMonth(form.state(),
                   serialFromQDate(QDate::fromString(parser.value(select), Qt::ISODate)));
    const QHash<QString, TabPage*> pages = {{"calendar", form.tabCalendar},
                                            {"settings", form.tabSettings},
                                            {"help", form.findChild<TabPage*>("tabHelp")},
                                            {"about", form.tabAbout}};
    form.show();
    form.tabCtrl->setActivePage(pages.value(parser.value(page), form.tabCalendar));
    // The header reads the fills of the previous painting: paint twice, as the program does.
    form.RefreshAll(form.state().SelectedDate);
    form.RefreshAll(form.state().SelectedDate);
    return form.grab().save(parser.positionalArguments().first()) ? 0 : 1;
}
