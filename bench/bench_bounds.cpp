// The largest files the readers take, as the program and the tool load them: start-up on the largest roster,
// opening the largest entry file in the main window, the tool's show, check and csv on both files, and the largest
// Gamename.txt (1,000 names filling the accepted size, and the accepted size of short lines, refused) in the export
// dialog and the tool. Besides
// the time, each prints its peak resident memory: the program's while it loads (the process's peak, reset
// before each run), the tool's as a process of its own.

#include "bench_bounds.h"
#include "benchsupport.h"

#include "couplegridview.h"
#include "datafiles.h"
#include "entrydialog.h"
#include "folderlock.h"
#include "gamenames.h"
#include "mainwindow.h"
#include "measuredrun.h"
#include "startup.h"
#include "testfiles.h"
#include "undohistory.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QUndoStack>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

QString g_boundsFolder;                // holds member.dat, uniinf.dat and 大会.ent, the largest accepted files
std::map<std::string, qint64> g_peaks; // the highest peak of each benchmark, in bytes

void prepareFolder() {
    if (!g_boundsFolder.isEmpty())
        return;
    g_boundsFolder = g_folder + QStringLiteral("bounds/");
    QDir().mkpath(g_boundsFolder);
    writeRaw(g_boundsFolder + QStringLiteral("member.dat"), testfiles::largestMemberFile());
    writeRaw(g_boundsFolder + QStringLiteral("大会.ent"), testfiles::largestEntryFile());
    UniversityInfo info = sampleUniversity();
    QString error;
    mustSucceed(write_university_file(g_boundsFolder + QStringLiteral("uniinf.dat"), info, &error), error);

    // games/: the most names a list holds, each long enough that the file takes the largest accepted size.
    // many/: the largest accepted size in lines of two bytes, two million names, refused beyond the 1,000th.
    QDir().mkpath(g_boundsFolder + QStringLiteral("games"));
    QDir().mkpath(g_boundsFolder + QStringLiteral("many"));
    const qsizetype lineBytes = (kMaxGameNamesFileSize - 8) / kMaxGameNames;
    QByteArray games = QByteArray::number(kMaxGameNames) + "\r\n";
    for (qsizetype i = 0; i < kMaxGameNames; ++i) {
        const QByteArray number = QByteArray::number(i) + " ";
        games += number + QByteArray(lineBytes - 2 - number.size(), 'G') + "\r\n";
    }
    writeRaw(g_boundsFolder + QStringLiteral("games/Gamename.txt"), games);
    writeRaw(g_boundsFolder + QStringLiteral("many/Gamename.txt"),
             QByteArray("G\n").repeated(kMaxGameNamesFileSize / 2));
}

void keepPeak(benchmark::State& run, const std::string& name, qint64 peak) {
    qint64& kept = g_peaks[name];
    kept = std::max(kept, peak);
    run.counters["peak_MB"] = double(kept) / 1e6;
}

// Answers the open dialog with one file and everything else with nothing.
class OpeningPrompter : public SilentPrompter {
public:
    QString file;
    QString chooseFile(const FileRequest&) override { return file; }
};

void startUpOnLargestRoster(benchmark::State& run, const std::string& name) {
    prepareFolder();
    SilentPrompter prompter;
    for (auto _ : run) {
        AppState state;
        resetPeakResident();
        QElapsedTimer timer;
        timer.start();
        FolderLock lock;
        std::unique_ptr<MainWindow> window = start_up(state, prompter, g_boundsFolder, lock);
        if (!window || !QTest::qWaitForWindowExposed(window.get()))
            qFatal("start-up did not show the main window");
        run.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        keepPeak(run, name, peakResident());
        if (state.memberCount != kMaxMembers)
            qFatal("start-up read %d members", int(state.memberCount));
        window.reset();
        QCoreApplication::processEvents();
    }
}

// エントリーファイルを開く in the main window: read, the couple grid filled and shown.
void openLargestEntry(benchmark::State& run, const std::string& name) {
    prepareFolder();
    OpeningPrompter prompter;
    prompter.file = g_boundsFolder + QStringLiteral("大会.ent");
    for (auto _ : run) {
        AppState state;
        state.appFolder = g_boundsFolder;
        state.universityInfo = sampleUniversity();
        auto window = std::make_unique<MainWindow>(state, prompter);
        window->openWindow();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the main window was not shown");
        resetPeakResident();
        QElapsedTimer timer;
        timer.start();
        window->findChild<QAction*>(QStringLiteral("mnu_open_ently"))->trigger();
        window->coupleGrid()->viewport()->repaint();
        run.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        keepPeak(run, name, peakResident());
        if (state.coupleCount != kMaxCouples)
            qFatal("the entry was not opened");
        window.reset();
        QCoreApplication::processEvents();
    }
}

// The export dialog made on the folder's Gamename.txt (which it reads) and shown.
void exportDialogOnLargestNames(benchmark::State& run, const std::string& name, const char* folder, int names) {
    prepareFolder();
    SilentPrompter prompter;
    for (auto _ : run) {
        AppState state;
        state.appFolder = g_boundsFolder + QString::fromUtf8(folder) + QLatin1Char('/');
        state.universityInfo = sampleUniversity();
        resetPeakResident();
        QElapsedTimer timer;
        timer.start();
        auto* dialog = new EntryDialog(state, prompter);
        dialog->openExport();
        if (!QTest::qWaitForWindowExposed(dialog))
            qFatal("the export dialog was not shown");
        run.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        keepPeak(run, name, peakResident());
        if (dialog->gameNameCount() != names)
            qFatal("the export dialog offers %d names", dialog->gameNameCount());
        delete dialog;
        QCoreApplication::processEvents();
    }
}

// The program at its bounds with a full undo history: the largest roster and entry loaded through the window, then
// 100 edits of each area. Each edit changes the whole list (the first and the last member deleted at once; one
// dance switched for every couple, as a click on a dance title does) or one record. The peak is the whole
// process's, the window refilling its views after every edit included; the counters say how many steps each
// area's history kept.
void undoAtTheBounds(benchmark::State& run, const std::string& name, bool wholeLists) {
    prepareFolder();
    OpeningPrompter prompter;
    prompter.file = g_boundsFolder + QStringLiteral("大会.ent");
    for (auto _ : run) {
        AppState state;
        resetPeakResident();
        QElapsedTimer timer;
        timer.start();
        FolderLock lock;
        std::unique_ptr<MainWindow> window = start_up(state, prompter, g_boundsFolder, lock);
        if (!window || !QTest::qWaitForWindowExposed(window.get()))
            qFatal("start-up did not show the main window");
        window->findChild<QAction*>(QStringLiteral("mnu_open_ently"))->trigger();
        if (state.memberCount != kMaxMembers || state.coupleCount != kMaxCouples)
            qFatal("the largest files were not loaded");
        for (int step = 0; step < 100; ++step) {
            if (wholeLists) {
                state.members.removeFirst();
                state.members.removeLast();
                state.memberCount -= 2;
            } else {
                state.members[step].name = QStringLiteral("改名%1").arg(step);
            }
            state.markRosterChanged(QStringLiteral("メンバー削除"));
            const int dance = step % 8;
            for (qint32 i = 0; i < (wholeLists ? state.coupleCount : 1); ++i) {
                qint32& flag = state.couples[wholeLists ? i : step].danceFlags[dance];
                flag = flag == 0 ? -1 : 0;
            }
            state.markCouplesChanged(QStringLiteral("種目の切り替え"));
        }
        run.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        keepPeak(run, name, peakResident());
        run.counters["roster_steps"] = window->undoHistory()->stack(EditArea::Roster)->count();
        run.counters["entry_steps"] = window->undoHistory()->stack(EditArea::Entry)->count();
        window.reset();
        QCoreApplication::processEvents();
    }
}

// The built tool as a process of its own, measured by the system.
void toolOnLargest(benchmark::State& run, const std::string& name, const char* command, const char* file) {
    prepareFolder();
    QStringList arguments = {QStringLiteral(DANCEENTRY_TOOL), QLatin1String(command),
                             g_boundsFolder + QString::fromUtf8(file)};
    if (QLatin1String(command) == QLatin1String("csv"))
        arguments << QStringLiteral("-o") << g_boundsFolder + QStringLiteral("out.csv");
    for (auto _ : run) {
        const MeasuredRun measured = run_measured(arguments, QProcessEnvironment::systemEnvironment(),
                                                  g_boundsFolder + QStringLiteral("stderr.txt"));
        // check finds problems in the entry (1); a list of more names than a list holds is refused (2).
        const bool refusedList = QString::fromUtf8(file).startsWith(QLatin1String("many/"));
        if (measured.status != (refusedList ? 2 : 0) &&
            !(measured.status == 1 && QLatin1String(command) == QLatin1String("check")))
            qFatal("danceentry-tool %s %s ended with %d: %s", command, file, measured.status, measured.err.constData());
        run.SetIterationTime(measured.seconds);
        keepPeak(run, name, measured.peakBytes);
    }
}

} // namespace

void add_bounds_benchmarks() {
    using benchmark::kMillisecond;
    const auto add = [](const std::string& name, auto&& function, auto&&... arguments) {
        benchmark::RegisterBenchmark(name.c_str(), function, name, arguments...)->UseManualTime()->Unit(kMillisecond);
    };
    add("bounds/startup_shown_with_20000_members", startUpOnLargestRoster);
    add("bounds/open_entry_of_10000_couples_in_the_window", openLargestEntry);
    for (const bool wholeLists : {true, false}) {
        const std::string name =
            std::string("bounds/undo_100_steps_per_area_") + (wholeLists ? "whole_lists" : "one_record");
        benchmark::RegisterBenchmark(name.c_str(), undoAtTheBounds, name, wholeLists)
            ->UseManualTime()
            ->Unit(kMillisecond)
            ->Iterations(1);
    }
    // check reads entry files only.
    for (const char* command : {"show", "csv"})
        add(std::string("bounds/tool_") + command + "_member.dat_20000_members", toolOnLargest, command, "member.dat");
    for (const char* command : {"show", "check", "csv"})
        add(std::string("bounds/tool_") + command + "_entry_10000_couples", toolOnLargest, command, "大会.ent");
    add("bounds/export_dialog_gamename_1000_names_4MiB", exportDialogOnLargestNames, "games", int(kMaxGameNames));
    add("bounds/export_dialog_gamename_2000000_lines_refused", exportDialogOnLargestNames, "many", 0);
    for (const char* command : {"show", "check"}) {
        add(std::string("bounds/tool_") + command + "_gamename_1000_names_4MiB", toolOnLargest, command,
            "games/Gamename.txt");
        add(std::string("bounds/tool_") + command + "_gamename_2000000_lines_refused", toolOnLargest, command,
            "many/Gamename.txt");
    }
}

void print_bounds_figures() {
    if (g_peaks.empty())
        return;
    std::printf("\nPeak resident memory with the largest accepted files (%lld bytes of member.dat, %lld of entry):\n",
                kMaxMemberFileSize, kMaxEntryFileSize);
    for (const auto& [name, peak] : g_peaks)
        std::printf("  %-72s %7.1f MB\n", name.c_str(), double(peak) / 1e6);
}
