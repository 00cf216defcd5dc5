// Benchmarks of the data files, the code page conversion, the back number sort, the year advance, the
// couple grid, undo, start-up and printing, each measured against a reference in the same run; the ratios are
// printed after the benchmark table.
//
// Files are written in the system's temporary folder, or in DANCEENTRY_BENCH_DIR when it is set.

#include "bench_bounds.h"
#include "bench_memberimport.h"
#include "bench_print.h"
#include "benchsupport.h"

#include "cp932.h"
#include "japanesefont.h"
#include "measuredrun.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// ---- the ratios ----

// Keeps the mean real time of every benchmark while the console reporter prints the table; with
// --benchmark_repetitions the median of the repetitions.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds; // per iteration

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.iterations <= 0 || run.error_occurred)
                continue;
            const double perIteration = run.real_accumulated_time / double(run.iterations);
            if (run.run_type == Run::RT_Iteration && !medianSeen.count(run.run_name.str()))
                seconds[run.run_name.str()] = perIteration;
            else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                seconds[run.run_name.str()] = perIteration;
                medianSeen.insert(run.run_name.str());
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

private:
    std::set<std::string> medianSeen;
};

struct Ratio {
    const char* what;
    std::string measured;
    std::string reference; // empty: against a fixed budget
    double budgetSeconds;  // the reference when there is no reference benchmark
    const char* target;
};

void printRatios(const RecordingReporter& reporter, const std::vector<Ratio>& ratios) {
    std::printf("\nRatios (measured in this run):\n");
    for (const Ratio& r : ratios) {
        const auto measured = reporter.seconds.find(r.measured);
        if (measured == reporter.seconds.end())
            continue;
        double reference = r.budgetSeconds;
        if (!r.reference.empty()) {
            const auto found = reporter.seconds.find(r.reference);
            if (found == reporter.seconds.end())
                continue;
            reference = found->second;
        }
        std::printf("  %-72s %9.3f ms / %9.3f ms = %6.2fx  (%s)\n", r.what, measured->second * 1e3, reference * 1e3,
                    measured->second / reference, r.target);
    }
}

// The offscreen platform warns on every window it shows that it cannot pass on size hints.
QtMessageHandler g_previousHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    g_previousHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    // The tool benchmarks measure each run through a fresh copy of this program.
    if (is_measure_mode(argc, argv))
        return measure_child_main(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_previousHandler = qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    install_japanese_font_substitutions();

    // The first conversion of the process in each direction: loading ICU's converter (and deriving the
    // table from it).
    QElapsedTimer firstUse;
    firstUse.start();
    QString decoded;
    mustSucceed(cp932::decode(QByteArrayView("\x8E\x52", 2), &decoded), QStringLiteral("no code page 932"));
    const double firstDecode = double(firstUse.nsecsElapsed()) / 1e6;
    firstUse.restart();
    QByteArray encoded;
    mustSucceed(cp932::encode(decoded, &encoded), QStringLiteral("no code page 932"));
    std::printf("first code page 932 decoding of the process: %.3f ms, first encoding: %.3f ms\n", firstDecode,
                double(firstUse.nsecsElapsed()) / 1e6);

    const QString base = qEnvironmentVariableIsEmpty("DANCEENTRY_BENCH_DIR")
                             ? QDir::tempPath()
                             : qEnvironmentVariable("DANCEENTRY_BENCH_DIR");
    QTemporaryDir dir(base + QStringLiteral("/danceentry-bench-XXXXXX"));
    if (!dir.isValid())
        qFatal("no folder for the benchmark files in %s", qPrintable(base));
    g_folder = dir.path() + QLatin1Char('/');
    std::printf("files in %s\n", qPrintable(g_folder));

    registerFileBenchmarks();
    registerWindowBenchmarks();
    add_member_import_benchmarks(g_folder);
    add_print_benchmarks();
    add_bounds_benchmarks();
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    closeBenchmarkWindows();

    constexpr double kFrame = 0.016;
    constexpr double kConversionBudget = 0.0003;
    const char* const member = "files/member.dat_5000_members_write+read";
    const char* const entry = "files/entry_1000_couples_write+read";
    const char* const advance = "advance/year_advance_200x50/manual_time";
    printRatios(
        reporter,
        {
            {"member.dat 5000 members write+read / raw QFile", member, "files/raw_QFile_same_bytes_as_member.dat", 0,
             "for information"},
            {"member.dat 5000 members write+read / raw QFile+fdatasync", member,
             "files/raw_QFile+fdatasync_same_bytes_as_member.dat", 0, "target <= 3x"},
            {"member.dat 5000 members write+read / safe save+read of its bytes", member,
             "files/safe_save+read_same_bytes_as_member.dat", 0, "for information"},
            {"encode_member_file 5000 members / 0.3 ms", "files/encode_member_file_5000_members", "", kConversionBudget,
             "target <= 1"},
            {"encode_member_file 5000 members / memcpy of its bytes", "files/encode_member_file_5000_members",
             "files/memcpy_same_bytes_as_member.dat", 0, "for information"},
            {"decode_member_file 5000 members / 0.3 ms", "files/decode_member_file_5000_members", "", kConversionBudget,
             "target <= 1"},
            {"decode_member_file 5000 members / memcpy of its bytes", "files/decode_member_file_5000_members",
             "files/memcpy_same_bytes_as_member.dat", 0, "for information"},
            {"entry 1000 couples write+read / raw QFile", entry, "files/raw_QFile_same_bytes_as_entry", 0,
             "for information"},
            {"entry 1000 couples write+read / raw QFile+fdatasync", entry,
             "files/raw_QFile+fdatasync_same_bytes_as_entry", 0, "target <= 3x"},
            {"entry 1000 couples write+read / safe save+read of its bytes", entry,
             "files/safe_save+read_same_bytes_as_entry", 0, "for information"},
            {"encode_entry_file 1000 couples / memcpy of its bytes", "files/encode_entry_file_1000_couples",
             "files/memcpy_same_bytes_as_entry", 0, "for information"},
            {"decode_entry_file 1000 couples / memcpy of its bytes", "files/decode_entry_file_1000_couples",
             "files/memcpy_same_bytes_as_entry", 0, "for information"},
            {"sort_positions 20000 sorted / std::sort", "sort/sort_positions_20000_sorted",
             "sort/std::sort_20000_sorted", 0, "for information"},
            {"year advance 200 files x 50 couples / raw QFile read+write", advance,
             "advance/raw_QFile_read+write_200x50/manual_time", 0, "for information"},
            {"year advance 200 files x 50 couples / raw QFile read+write+fdatasync", advance,
             "advance/raw_QFile_read+write+fdatasync_200x50/manual_time", 0, "target <= 2x"},
            {"year advance 200 files x 50 couples / read + safe save of the same bytes", advance,
             "advance/read+safe_save_200x50/manual_time", 0, "for information"},
            {"grid fill + paint, 1000 couples (4000 rows) / one frame", "grid/refillCoupleGrid+paint_1000_couples", "",
             kFrame, "target < 1, under 16 ms"},
            {"grid click (toggle + refill + caption + paint) / one frame", "grid/click_dance_cell_1000_couples", "",
             kFrame, "target < 1, under 16 ms"},
            {"undo of a deletion of 1000 of 5000 members (restore + refill + paint) / one frame",
             "undo/member_deletion_1000_of_5000/manual_time", "", kFrame, "target < 1, under 16 ms"},
            {"undo of a deletion of 1000 of 5000 members / member list refill + paint, 5000 members",
             "undo/member_deletion_1000_of_5000/manual_time", "undo/member_list_refill+paint_5000_members", 0,
             "for information"},
            {"undo of a grid click, 1000 couples (restore + refill + caption + paint) / one frame",
             "undo/grid_click_1000_couples/manual_time", "", kFrame, "target < 1, under 16 ms"},
            {"start-up to shown window, 5000 members / empty roster", "startup/shown_with_5000_members/manual_time",
             "startup/shown_with_0_members/manual_time", 0, "for information"},
        });
    print_member_import_ratios(reporter.seconds);
    print_print_ratios(reporter.seconds);
    print_bounds_figures();
    benchmark::Shutdown();
    return 0;
}
