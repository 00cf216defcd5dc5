// The couple grid, undo and start-up, through the real windows (offscreen).

#include "benchsupport.h"

#include "folderlock.h"

#include "couplegrid.h"
#include "couplegridview.h"
#include "datafiles.h"
#include "mainwindow.h"
#include "memberlistview.h"
#include "roster.h"
#include "startup.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <memory>

namespace {

// ---- the couple grid ----

struct GridWindow {
    AppState state;
    SilentPrompter prompter;
    std::unique_ptr<MainWindow> window;
    CoupleGridView* grid = nullptr;

    explicit GridWindow(int couples) {
        state.appFolder = g_folder;
        state.universityInfo = sampleUniversity();
        state.members = sampleRoster(20);
        state.memberCount = 20;
        state.couples = sampleCouples(couples, 4, true);
        state.coupleCount = couples;
        state.entryFileName = QStringLiteral("bench.ent");
        window = std::make_unique<MainWindow>(state, prompter);
        window->openWindow();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the main window was not shown");
        QTest::mouseClick(window->findChild<QRadioButton*>(QStringLiteral("optCouple")), Qt::LeftButton);
        grid = window->coupleGrid();
        if (grid->rows().size() != couples * 4 + 1)
            qFatal("the couple grid shows %d rows", int(grid->rows().size()));
    }
};

std::unique_ptr<GridWindow> g_grid;

GridWindow& gridWindow() {
    if (!g_grid)
        g_grid = std::make_unique<GridWindow>(1000);
    return *g_grid;
}

void fillGrid(benchmark::State& run) {
    GridWindow& w = gridWindow();
    for (auto _ : run) {
        w.window->refillCoupleGrid();
        w.window->showEntryCaption();
        w.grid->viewport()->repaint(); // the view update, painted now
    }
}

// One click on the Tango cell of the first partner: the window's own handler toggles the dance, sets the
// caption and refills the grid; then the view is painted.
void clickGrid(benchmark::State& run) {
    GridWindow& w = gridWindow();
    const QModelIndex cell = w.grid->model()->index(1, kGridColFirstDance + 1);
    w.grid->scrollTo(cell);
    const QPoint centre = w.grid->visualRect(cell).center();
    const qint32 before = w.state.couples[0].danceFlags[1];
    for (auto _ : run) {
        QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {}, centre);
        w.grid->viewport()->repaint();
    }
    if (run.iterations() % 2 == 1 && w.state.couples[0].danceFlags[1] == before)
        qFatal("the click did not switch the dance");
    if (w.window->coupleEditor())
        qFatal("two clicks were taken for a double click");
}

// ---- undo ----

class YesPrompter : public SilentPrompter {
public:
    bool askYesNo(const QString&, Icon) override { return true; }
};

QAction* editAction(MainWindow& window, const char* name) {
    auto* action = window.findChild<QAction*>(QLatin1String(name));
    if (!action)
        qFatal("no %s", name);
    return action;
}

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Times `undo` (the edit menu's 元に戻す: the records put back, the view refilled, its caption) and the painting of
// the view; each redo that sets the step up again is left out. The counter undo_cpu_ms is the processor time of
// the undo alone, which other work on a busy machine does not stretch as it stretches the wall-clock time.
void timeUndo(benchmark::State& run, MainWindow& window, QWidget* view) {
    QAction* undo = editAction(window, "mnu_undo");
    QAction* redo = editAction(window, "mnu_redo");
    double cpu = 0;
    for (auto _ : run) {
        redo->trigger();
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadCpuSeconds();
        undo->trigger();
        view->repaint();
        cpu += threadCpuSeconds() - cpuStart;
        run.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
    run.counters["undo_cpu_ms"] = benchmark::Counter(cpu * 1e3, benchmark::Counter::kAvgIterations);
}

// The main window in the member view of a roster of 5,000.
struct RosterWindow {
    AppState state;
    YesPrompter prompter;
    std::unique_ptr<MainWindow> window;

    RosterWindow() {
        state.appFolder = g_folder;
        state.universityInfo = sampleUniversity();
        state.members = sampleRoster(5000);
        state.memberCount = 5000;
        window = std::make_unique<MainWindow>(state, prompter);
        window->openWindow();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the main window was not shown");
    }
};

// The reference: the member list filled anew with the 5,000 members and painted, as after any change of the roster.
void refillMemberList(benchmark::State& run) {
    RosterWindow w;
    for (auto _ : run) {
        w.window->refillMemberList();
        w.window->memberList()->viewport()->repaint();
    }
}

// The member view after every fifth member (1,000) was deleted at once; the undo puts them back, the list shows
// all 5,000 again.
void undoMemberDeletion(benchmark::State& run) {
    RosterWindow w;
    AppState& state = w.state;
    MainWindow& window = *w.window;
    QList<qint32> positions;
    for (qint32 i = 0; i < 5000; i += 5)
        positions.append(i);
    if (!delete_members(state, positions, w.prompter) || state.memberCount != 4000)
        qFatal("the deletion did not happen");
    editAction(window, "mnu_undo")->trigger(); // the loop starts by redoing it
    timeUndo(run, window, window.memberList()->viewport());
    if (state.memberCount != 5000 || window.memberList()->topLevelItemCount() != 5000)
        qFatal("the undo did not bring the members back");
}

// One click on a dance cell of the grid of 1,000 couples, undone.
void undoGridClick(benchmark::State& run) {
    GridWindow& w = gridWindow();
    const QModelIndex cell = w.grid->model()->index(1, kGridColFirstDance + 2);
    w.grid->scrollTo(cell);
    const QList<CoupleRecord> before = w.state.couples;
    QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {}, w.grid->visualRect(cell).center());
    if (w.state.couples == before)
        qFatal("the click did not switch the dance");
    editAction(*w.window, "mnu_undo")->trigger(); // the loop starts by redoing it
    timeUndo(run, *w.window, w.grid->viewport());
    if (w.state.couples != before)
        qFatal("the undo did not restore the couples");
}

// ---- start-up ----

void startUp(benchmark::State& run, int members) {
    QTemporaryDir dir(g_folder + QStringLiteral("startup-XXXXXX"));
    const QString folder = dir.path() + QLatin1Char('/');
    AppState prepared;
    prepared.members = sampleRoster(members);
    prepared.memberCount = members;
    prepared.universityInfo = sampleUniversity();
    QString error;
    mustSucceed(write_member_file(folder + QStringLiteral("member.dat"), prepared, &error), error);
    mustSucceed(write_university_file(folder + QStringLiteral("uniinf.dat"), prepared.universityInfo, &error), error);
    SilentPrompter prompter;
    for (auto _ : run) {
        AppState state;
        QElapsedTimer timer;
        timer.start();
        FolderLock lock;
        std::unique_ptr<MainWindow> window = start_up(state, prompter, folder, lock);
        if (!window || !QTest::qWaitForWindowExposed(window.get()))
            qFatal("start-up did not show the main window");
        run.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (state.memberCount != members)
            qFatal("start-up read %d members", int(state.memberCount));
        window.reset();
        QCoreApplication::processEvents();
    }
}

} // namespace

void registerWindowBenchmarks() {
    using benchmark::kMillisecond;
    using benchmark::RegisterBenchmark;
    RegisterBenchmark("grid/refillCoupleGrid+paint_1000_couples", fillGrid)->Unit(kMillisecond);
    RegisterBenchmark("grid/click_dance_cell_1000_couples", clickGrid)->Unit(kMillisecond);
    RegisterBenchmark("undo/member_list_refill+paint_5000_members", refillMemberList)->Unit(kMillisecond);
    RegisterBenchmark("undo/member_deletion_1000_of_5000", undoMemberDeletion)->UseManualTime()->Unit(kMillisecond);
    RegisterBenchmark("undo/grid_click_1000_couples", undoGridClick)->UseManualTime()->Unit(kMillisecond);
    RegisterBenchmark("startup/shown_with_5000_members", startUp, 5000)->UseManualTime()->Unit(kMillisecond);
    RegisterBenchmark("startup/shown_with_0_members", startUp, 0)->UseManualTime()->Unit(kMillisecond);
}

void closeBenchmarkWindows() {
    g_grid.reset();
}
