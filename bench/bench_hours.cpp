// What the Hours dialog costs: the rules over a year of entries, and opening the dialog (built,
// shown and painted once, offscreen) over a store holding them.
#include "days/entrystore.h"
#include "days/hours.h"
#include "days/schedule.h"
#include "dialogs/hoursdialog.h"
#include "rotation/rotation.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QString Assignment = QStringLiteral("B2");

// A trade or leave on every third duty day of 2026 and a trade-in on every fifth day off.
QList<DayEntry> yearOfEntries() {
    QList<DayEntry> entries;
    int duty = 0;
    int off = 0;
    for (DateSerial day = serialFromYmd(2026, 1, 1); day <= serialFromYmd(2026, 12, 31); ++day) {
        DayEntry entry;
        entry.date = day;
        if (ShiftLetter(day, Assignment) == u'B') {
            if (duty++ % 3 != 0)
                continue;
            entry.kind = duty % 2 ? EntryKind::TradeOut : EntryKind::Leave;
            entry.with = QStringLiteral("Okafor");
        } else {
            if (off++ % 5 != 0)
                continue;
            entry.kind = EntryKind::TradeIn;
            entry.minutes = 12 * 60;
            entry.with = QStringLiteral("Okafor");
        }
        entries.append(entry);
    }
    return entries;
}

void payPeriodsOfAYear(benchmark::State& state) {
    // A new schedule each time, so that no day is answered from the cache of the run before.
    const QList<DayEntry> entries = yearOfEntries();
    for (auto _ : state) {
        Schedule schedule;
        schedule.setCurrentAssignment(Assignment);
        schedule.setEntries(entries);
        benchmark::DoNotOptimize(
            schedule.payPeriods(serialFromYmd(2026, 1, 1), serialFromYmd(2026, 12, 31)));
    }
}
BENCHMARK(payPeriodsOfAYear)->Unit(benchmark::kMillisecond);

void openDialog(benchmark::State& state) {
    QTemporaryDir folder;
    EntryStore store(folder.filePath(QStringLiteral("days.sqlite")));
    for (const DayEntry& entry : yearOfEntries())
        store.add(entry);
    Schedule schedule(&store);
    schedule.setCurrentAssignment(Assignment);
    for (auto _ : state) {
        auto dialog = std::make_unique<HoursDialog>(schedule, serialFromYmd(2026, 6, 1));
        dialog->show();
        dialog->repaint();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(openDialog)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
