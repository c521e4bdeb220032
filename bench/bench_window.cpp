// In-process figures on the real window, offscreen: the refresh, the grid painter, the month
// model, one navigation step, one resize step and the 45-year Page Down sweep, each step painted.
// With --instructions=refresh or --instructions=navigation it runs one such step between
// callgrind's instrumentation macros instead, for instruction counts that machine load does not
// change (run it under `valgrind --tool=callgrind --instr-atstart=no`).
#include "app/mainform.h"
#include "core/clock.h"
#include "monthview/gridpainter.h"
#include "monthview/monthgrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QtTest>

#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <cstring>
#include <memory>

namespace {

// Today is fixed, so the figures do not depend on the day they are measured.
const QDate FixedToday(2026, 12, 10);
// The Right-arrow walk starts over before it reaches the end of the view range, where a step
// would be clamped and change nothing.
const QDate WalkStart(2026, 12, 10);
const QDate WalkEnd(2059, 1, 1);

TMainForm* window = nullptr;

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
        const QString assignment = window->cbPlt->currentText();
        run.ResumeTiming();
        PaintGrid(window->registry(), window->state(), shown, assignment);
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

BENCHMARK(BM_RefreshAll)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintGrid)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildMonth)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_NavigationStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResizeStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageDownSweep)->Unit(benchmark::kMillisecond)->Iterations(1);

// One step between the instrumentation macros; the steps before it warm the caches (glyphs,
// fonts, the painter's pools) as a running program has them warm.
int countInstructions(const char* what) {
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
    qWarning("unknown --instructions value: %s (refresh or navigation)", what);
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
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], instructionsFlag, std::strlen(instructionsFlag)) == 0)
            return countInstructions(argv[i] + std::strlen(instructionsFlag));

    benchmark::AddCustomContext("qt", qVersion());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
