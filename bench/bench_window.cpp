// The couple grid and start-up, through the real windows (offscreen).

#include "benchsupport.h"

#include "folderlock.h"

#include "couplegrid.h"
#include "couplegridview.h"
#include "datafiles.h"
#include "mainwindow.h"
#include "startup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

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
        window->start_main();
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
        w.window->fill_couple_grid();
        w.window->show_entry_caption();
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
    RegisterBenchmark("grid/fill_couple_grid+paint_1000_couples", fillGrid)->Unit(kMillisecond);
    RegisterBenchmark("grid/click_dance_cell_1000_couples", clickGrid)->Unit(kMillisecond);
    RegisterBenchmark("startup/shown_with_5000_members", startUp, 5000)->UseManualTime()->Unit(kMillisecond);
    RegisterBenchmark("startup/shown_with_0_members", startUp, 0)->UseManualTime()->Unit(kMillisecond);
}

void closeBenchmarkWindows() {
    g_grid.reset();
}
