// In-process figures on the real window, offscreen: the refresh, the grid painter, the month
// model, one navigation step, one resize step and the 45-year Page Down sweep, each step painted.
// With --days=FILE (a days file, as --import-days reads) the figures with the user's entries
// follow: a navigation step and opening the Hours dialog with the file's entries in the store,
// for a B2 user. The figures before them run with an empty store.
// With --instructions=refresh or --instructions=navigation it runs one such step between
// callgrind's instrumentation macros instead, for instruction counts that machine load does not
// change (run it under `valgrind --tool=callgrind --instr-atstart=no`); with --days=FILE the step
// runs with the file's entries in the store.
#include "app/mainform.h"
#include "core/clock.h"
#include "days/entryjson.h"
#include "days/entrystore.h"
#include "dialogs/hoursdialog.h"
#include "monthview/gridpainter.h"
#include "monthview/monthgrid.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QtTest>

#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <cstring>
#include <memory>
#include <optional>

namespace {

// Today is fixed, so the figures do not depend on the day they are measured.
const QDate FixedToday(2026, 12, 10);
// The Right-arrow walk starts over before it reaches the end of the view range, where a step
// would be clamped and change nothing.
const QDate WalkStart(2026, 12, 10);
const QDate WalkEnd(2059, 1, 1);

TMainForm* window = nullptr;
QString daysFile; // --days=FILE

// The assignment the generated days file is made for: its trade-outs fall on B2's duty days.
const QString EntriesAssignment = QStringLiteral("B2");

void sendKey(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &release);
}

// Shows the date's month with the date selected and paints it, as navigation does.
void showDate(QDate date) {
    BuildMonth(window->state(), serialFromQDate(date));
    window->RefreshAll(window->state().SelectedDate);
    window->repaint();
    QCoreApplication::processEvents();
}

void restartWalkIfAtEnd() {
    if (qdateFromSerial(window->state().SelectedDate) >= WalkEnd)
        showDate(WalkStart);
}

// One day forward in the model only, so that the next refresh has something to change.
void stepModelOneDay() {
    restartWalkIfAtEnd();
    ProgramState& state = window->state();
    ApplyNavigationKey(state, Qt::Key_Right, today());
    BuildMonth(state, state.SelectedDate);
}

GridOverlays overlays() {
    return {window->swPaydays->isChecked(), window->swDebitDays->isChecked(),
            window->swPayPeriods->isChecked()};
}

void BM_RefreshAll(benchmark::State& run) {
    showDate(WalkStart);
    for (auto _ : run) {
        run.PauseTiming();
        QCoreApplication::processEvents();
        stepModelOneDay();
        run.ResumeTiming();
        window->RefreshAll(window->state().SelectedDate);
    }
}

void BM_PaintGrid(benchmark::State& run) {
    showDate(WalkStart);
    const GridOverlays shown = overlays();
    for (auto _ : run) {
        run.PauseTiming();
        QCoreApplication::processEvents();
        stepModelOneDay();
        run.ResumeTiming();
        PaintGrid(window->registry(), window->state(), shown, window->schedule());
    }
}

void BM_BuildMonth(benchmark::State& run) {
    ProgramState& state = window->state();
    DateSerial date = serialFromQDate(QDate(2016, 1, 1));
    for (auto _ : run) {
        BuildMonth(state, date);
        benchmark::DoNotOptimize(state.GridDates);
        date = date >= MaxViewDate ? MinViewDate : date + 31;
    }
    showDate(WalkStart);
}

// A Right-arrow key to the window, through the refresh, to the repainted window.
void BM_NavigationStep(benchmark::State& run) {
    showDate(WalkStart);
    for (auto _ : run) {
        run.PauseTiming();
        QCoreApplication::processEvents();
        restartWalkIfAtEnd();
        run.ResumeTiming();
        sendKey(Qt::Key_Right);
        window->repaint();
    }
}

// A new window height through FormResize (layout, fonts, refresh) and the repaint.
void BM_ResizeStep(benchmark::State& run) {
    showDate(WalkStart);
    const int width = window->width();
    const int startHeight = window->height();
    int step = 0;
    for (auto _ : run) {
        run.PauseTiming();
        QCoreApplication::processEvents();
        // Heights from 560 to 719 and back, one pixel at a time apart from the wrap.
        const int height = 560 + (step++ % 160);
        run.ResumeTiming();
        window->resize(width, height);
        window->repaint();
    }
    if (step > 0 && window->height() != 560 + (step - 1) % 160)
        run.SkipWithError("the window did not take the new height");
    window->resize(width, startHeight);
    QCoreApplication::processEvents();
}

// Page Down from January 2016 to December 2060, a repaint after each step.
void BM_PageDownSweep(benchmark::State& run) {
    constexpr int Steps = 540;
    for (auto _ : run) {
        run.PauseTiming();
        showDate(QDate(2016, 1, 1));
        run.ResumeTiming();
        for (int i = 0; i < Steps; ++i) {
            sendKey(Qt::Key_PageDown);
            window->repaint();
        }
    }
    if (qdateFromSerial(window->state().SelectedDate) < QDate(2060, 12, 1))
        run.SkipWithError("the sweep did not reach December 2060");
    showDate(WalkStart);
}

// Fills the store from --days=FILE once and chooses the assignment the entries were made for;
// false (with the reason given to `run`) when there is no file or it cannot be read.
bool loadDays(benchmark::State* run) {
    static std::optional<QString> problem;
    if (!problem) {
        QFile file(daysFile);
        QString error;
        std::optional<DaysFile> days;
        if (daysFile.isEmpty())
            error = QStringLiteral("give --days=FILE");
        else if (!file.open(QIODevice::ReadOnly))
            error = QStringLiteral("cannot read %1").arg(daysFile);
        else
            days = daysFromJson(file.readAll(), &error);
        if (days) {
            const StoreResult stored = window->entryStore().import(days->entries);
            if (!stored.ok)
                error = stored.error;
        }
        problem = error;
        window->cbPlt->setCurrentIndex(window->cbPlt->findText(EntriesAssignment));
        QCoreApplication::processEvents();
        if (window->cbPlt->currentText() != EntriesAssignment)
            problem = QStringLiteral("the window did not take the assignment B2");
    }
    if (!problem->isEmpty() && run)
        run->SkipWithError(problem->toUtf8().constData());
    return problem->isEmpty();
}

// The navigation step, with the user's entries in the store: the grid reads a month's entries
// when the month changes, and every cell shows those of its day.
void BM_NavigationStepWithEntries(benchmark::State& run) {
    if (!loadDays(&run))
        return;
    BM_NavigationStep(run);
}

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// Opens the Hours dialog through the window's handler (Hours… in the menu, Ctrl+H) and returns
// it once it has been painted: the platform paints a window when it reports it exposed.
HoursDialog* openHoursDialog() {
    window->gloCalHours();
    auto* dialog = window->findChild<HoursDialog*>();
    if (!dialog)
        return nullptr;
    PaintCounter counter;
    dialog->installEventFilter(&counter);
    for (int round = 0; round < 1000 && counter.paints == 0; ++round)
        QCoreApplication::processEvents();
    dialog->removeEventFilter(&counter);
    return counter.paints > 0 ? dialog : nullptr;
}

// From the handler to the dialog's first complete paint, with the user's entries in the store.
void BM_OpenHoursDialog(benchmark::State& run) {
    if (!loadDays(&run))
        return;
    showDate(WalkStart);
    for (auto _ : run) {
        HoursDialog* dialog = openHoursDialog();
        if (!dialog) {
            run.SkipWithError("no Hours dialog was painted");
            break;
        }
        run.PauseTiming();
        dialog->reject(); // closed, it deletes itself
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        const bool gone = !window->findChild<HoursDialog*>();
        run.ResumeTiming();
        if (!gone) {
            run.SkipWithError("the Hours dialog stayed after it was closed");
            break;
        }
    }
}

BENCHMARK(BM_RefreshAll)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintGrid)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildMonth)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_NavigationStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResizeStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageDownSweep)->Unit(benchmark::kMillisecond)->Iterations(1);
// Last: they fill the store, and the figures above are those of an empty one.
BENCHMARK(BM_NavigationStepWithEntries)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenHoursDialog)->Unit(benchmark::kMillisecond);

// One step between the instrumentation macros; the steps before it warm the caches (glyphs,
// fonts, the painter's pools) as a running program has them warm.
int countInstructions(const char* what) {
    if (!daysFile.isEmpty() && !loadDays(nullptr)) {
        qWarning("cannot load the days file %s", qPrintable(daysFile));
        return 1;
    }
    for (int i = 0; i < 20; ++i) {
        sendKey(Qt::Key_Right);
        window->repaint();
        QCoreApplication::processEvents();
    }
    if (std::strcmp(what, "refresh") == 0) {
        stepModelOneDay();
        CALLGRIND_START_INSTRUMENTATION;
        window->RefreshAll(window->state().SelectedDate);
        CALLGRIND_STOP_INSTRUMENTATION;
        return 0;
    }
    if (std::strcmp(what, "navigation") == 0) {
        CALLGRIND_START_INSTRUMENTATION;
        sendKey(Qt::Key_Right);
        window->repaint();
        CALLGRIND_STOP_INSTRUMENTATION;
        return 0;
    }
    if (std::strcmp(what, "hours") == 0) {
        // The first opening builds what every later one reuses (fonts, styles of the tables).
        for (int i = 0; i < 2; ++i) {
            if (i == 1)
                CALLGRIND_START_INSTRUMENTATION;
            HoursDialog* dialog = openHoursDialog();
            if (i == 1)
                CALLGRIND_STOP_INSTRUMENTATION;
            if (!dialog)
                return 1;
            dialog->reject();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
        return 0;
    }
    qWarning("unknown --instructions value: %s (refresh, navigation or hours)", what);
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    const DateSerial fixedToday = serialFromQDate(FixedToday);
    setTodayProvider([fixedToday] { return fixedToday; });
    QTemporaryDir configBase;
    StartupEnvironment environment;
    environment.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    environment.configBase = configBase.path();
    environment.dataBase = configBase.path();
    auto form = std::make_unique<TMainForm>(environment);
    window = form.get();
    // The heaviest grid: paydays, RDO groups and pay periods all shown.
    for (SwitchButton* overlay : {window->swPaydays, window->swDebitDays, window->swPayPeriods})
        overlay->setChecked(true);
    window->show();
    if (!QTest::qWaitForWindowExposed(window)) {
        qWarning("the window was not exposed");
        return 1;
    }
    showDate(WalkStart);

    const char* instructionsFlag = "--instructions=";
    // Our own flags, taken out before Google Benchmark reads the rest.
    const char* daysFlag = "--days=";
    const char* instructions = nullptr;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], daysFlag, std::strlen(daysFlag)) == 0)
            daysFile = QString::fromLocal8Bit(argv[i] + std::strlen(daysFlag));
        else if (std::strncmp(argv[i], instructionsFlag, std::strlen(instructionsFlag)) == 0)
            instructions = argv[i] + std::strlen(instructionsFlag);
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    if (instructions)
        return countInstructions(instructions);

    benchmark::AddCustomContext("qt", qVersion());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
