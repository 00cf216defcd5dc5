// Benchmarks of the data files, the back number sort, the year advance, the couple grid and start-up, each
// measured against a reference in the same run; the ratios are printed after the benchmark table.
//
// Files are written in the system's temporary folder, or in DANCEENTRY_BENCH_DIR when it is set.

#include "bench_memberimport.h"
#include "couplegrid.h"
#include "couplegridview.h"
#include "datafiles.h"
#include "folderlock.h"
#include "japanesefont.h"
#include "mainwindow.h"
#include "startup.h"
#include "yearadvance.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// ---- sample data ----

const char* const kFamily[] = {"山田", "鈴木", "佐藤", "高橋", "田中", "伊藤", "渡辺", "中村", "小林", "加藤"};
const char* const kGiven[] = {"花子", "一郎", "美咲", "健太", "由美", "翔", "さくら", "大輔", "愛", "直樹"};
const char* const kKanaFamily[] = {"やまだ", "すずき",   "さとう",   "たかはし", "たなか",
                                   "いとう", "わたなべ", "なかむら", "こばやし", "かとう"};

MemberRecord sampleMember(int i, quint8 role) {
    MemberRecord m;
    m.name = QString::fromUtf8(kFamily[i % 10]) + QString::fromUtf8(kGiven[(i / 10) % 10]);
    m.kana = QString::fromUtf8(kKanaFamily[i % 10]) + QString::number(i);
    m.year = quint8(1 + i % 4);
    m.highschool = QString::fromUtf8("県立第%1高等学校").arg(i % 30);
    m.department = QString::fromUtf8("理工学部");
    m.role = role;
    return m;
}

QList<MemberRecord> sampleRoster(int count) {
    QList<MemberRecord> members;
    for (int i = 0; i < count; ++i)
        members.append(sampleMember(i, quint8(i % 2)));
    return members;
}

// Couples of `partners` partners each; `years` 0 gives every dancer year 1 to 3 (nobody leaves in the
// advance), otherwise the years cycle through 1 to 4.
QList<CoupleRecord> sampleCouples(int count, int partners, bool allYears) {
    QList<CoupleRecord> couples;
    const QString dances[] = {QStringLiteral("WTFQ"), QStringLiteral("CSRP"), QStringLiteral("WT"),
                              QStringLiteral("S")};
    for (int i = 0; i < count; ++i) {
        CoupleRecord c;
        c.backNumber = 100 + i;
        c.university = QString::fromUtf8("蒼嶺大学");
        c.leader = sampleMember(i, 0);
        for (int p = 0; p < partners; ++p) {
            c.partners.append(sampleMember(i * 7 + p + 1, 1));
            c.partnerDances.append(dances[p % 4]);
        }
        if (!allYears) {
            c.leader.year = quint8(1 + i % 3);
            for (MemberRecord& p : c.partners)
                p.year = quint8(1 + (i + 1) % 3);
        }
        c.partnerCount = partners;
        c.yearSum = c.leader.year + c.partners.first().year;
        c.gameName = QString::fromUtf8("秋の部内戦");
        c.danceFlags = QList<qint32>(8, 0);
        couples.append(c);
    }
    return couples;
}

UniversityInfo sampleUniversity() {
    UniversityInfo info;
    info.university = QString::fromUtf8("蒼嶺大学");
    info.head = QString::fromUtf8("部長");
    info.manager = QString::fromUtf8("マネージャー");
    info.gameName = QString::fromUtf8("秋の部内戦");
    return info;
}

// ---- helpers ----

class SilentPrompter : public Prompter {
public:
    void showMessage(const QString& text, Icon) override {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    }
    bool askYesNo(const QString&, Icon) override { return false; }
    QString inputText(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFile(const FileRequest&) override { return {}; }
};

QString g_folder; // where the benchmarks write their files

void writeRaw(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readRaw(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void mustSucceed(bool ok, const QString& error) {
    if (!ok)
        qFatal("%s", error.toUtf8().constData());
}

// ---- the files ----

void memberRoundTrip(benchmark::State& run, int count) {
    AppState state;
    state.members = sampleRoster(count);
    state.memberCount = count;
    const QString path = g_folder + QStringLiteral("member.dat");
    for (auto _ : run) {
        QString error;
        mustSucceed(write_member_file(path, state, &error), error);
        AppState read;
        mustSucceed(read_member_file(path, read, &error), error);
        benchmark::DoNotOptimize(read.members.data());
    }
    run.SetBytesProcessed(run.iterations() * 2 * QFile(path).size());
}

void entryRoundTrip(benchmark::State& run, int count) {
    AppState state;
    state.couples = sampleCouples(count, 4, true);
    state.coupleCount = count;
    state.universityInfo = sampleUniversity();
    const QString path = g_folder + QStringLiteral("bench.ent");
    for (auto _ : run) {
        QString error;
        mustSucceed(write_entry_file(path, state, &error), error);
        AppState read;
        mustSucceed(read_entry_file(path, read, &error), error);
        benchmark::DoNotOptimize(read.couples.data());
    }
    run.SetBytesProcessed(run.iterations() * 2 * QFile(path).size());
}

// The encoding alone, in memory: where the time of a save and a load goes.
void memberEncode(benchmark::State& run, int count) {
    const QList<MemberRecord> members = sampleRoster(count);
    for (auto _ : run)
        benchmark::DoNotOptimize(encode_member_file(members, count, nullptr).data());
}

void memberDecode(benchmark::State& run, int count) {
    const QByteArray bytes = encode_member_file(sampleRoster(count), count, nullptr);
    for (auto _ : run) {
        QList<MemberRecord> members;
        qint32 read = 0;
        mustSucceed(decode_member_file(bytes, members, read, nullptr), QStringLiteral("decode failed"));
        benchmark::DoNotOptimize(members.data());
    }
}

// The same number of bytes written and read back with a plain QFile: no encoding, no safe replacement.
void rawRoundTrip(benchmark::State& run, const QByteArray& bytes, bool sync) {
    const QString path = g_folder + QStringLiteral("raw.bin");
    for (auto _ : run) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("raw write failed");
        file.flush();
        if (sync)
            ::fdatasync(file.handle());
        file.close();
        benchmark::DoNotOptimize(readRaw(path).data());
    }
    run.SetBytesProcessed(run.iterations() * 2 * bytes.size());
}

QByteArray encodedRoster(int count) {
    return encode_member_file(sampleRoster(count), count, nullptr);
}

QByteArray encodedEntry(int count) {
    return encode_entry_file(sampleCouples(count, 4, true), count, sampleUniversity(), nullptr);
}

// ---- sorting ----

void sortPositions(benchmark::State& run, int count) {
    QList<qint32> sorted(count);
    for (int i = 0; i < count; ++i)
        sorted[i] = 100 + i;
    for (auto _ : run) {
        QList<qint32> keys = sorted;
        QList<qint32> positions;
        sort_positions(keys, positions, count);
        benchmark::DoNotOptimize(positions.data());
    }
}

// std::sort of (key, position) pairs: the same result, positions moving with their keys.
void stdSort(benchmark::State& run, int count) {
    std::vector<std::pair<qint32, qint32>> sorted{size_t(count)};
    for (int i = 0; i < count; ++i)
        sorted[size_t(i)] = {100 + i, i};
    for (auto _ : run) {
        std::vector<std::pair<qint32, qint32>> keys = sorted;
        std::sort(keys.begin(), keys.end());
        benchmark::DoNotOptimize(keys.data());
    }
}

// ---- the year advance ----

struct AdvanceFolder {
    QTemporaryDir dir;
    QByteArray file;
    int files = 0;

    AdvanceFolder(int fileCount, int couples) : dir(g_folder + QStringLiteral("advance-XXXXXX")), files(fileCount) {
        file = encode_entry_file(sampleCouples(couples, 2, false), couples, sampleUniversity(), nullptr);
    }
    QString path(int i) const { return dir.path() + QStringLiteral("/e%1.ent").arg(i, 3, 10, QLatin1Char('0')); }
    void reset() const {
        for (int i = 0; i < files; ++i)
            writeRaw(path(i), file);
    }
};

void yearAdvance(benchmark::State& run, int files, int couples) {
    const AdvanceFolder folder(files, couples);
    AppState state;
    state.appFolder = folder.dir.path() + QLatin1Char('/');
    state.universityInfo = sampleUniversity();
    for (auto _ : run) {
        folder.reset();
        QElapsedTimer timer;
        timer.start();
        const EntryAdvanceReport report = advance_entry_files(state);
        run.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (report.advanced.size() != files || !report.problems.isEmpty())
            qFatal("the year advance failed");
    }
}

// Reading and writing back the same files with a plain QFile (and, with `sync`, waiting for the disk).
void rawAdvance(benchmark::State& run, int files, int couples, bool sync) {
    const AdvanceFolder folder(files, couples);
    for (auto _ : run) {
        folder.reset();
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < files; ++i) {
            const QByteArray bytes = readRaw(folder.path(i));
            QFile file(folder.path(i));
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
                qFatal("raw write failed");
            file.flush();
            if (sync)
                ::fdatasync(file.handle());
        }
        run.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}

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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_previousHandler = qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    install_japanese_font_substitutions();

    const QString base = qEnvironmentVariableIsEmpty("DANCEENTRY_BENCH_DIR")
                             ? QDir::tempPath()
                             : qEnvironmentVariable("DANCEENTRY_BENCH_DIR");
    QTemporaryDir dir(base + QStringLiteral("/danceentry-bench-XXXXXX"));
    if (!dir.isValid())
        qFatal("no folder for the benchmark files in %s", qPrintable(base));
    g_folder = dir.path() + QLatin1Char('/');
    std::printf("files in %s\n", qPrintable(g_folder));

    using benchmark::RegisterBenchmark;
    const QByteArray roster = encodedRoster(5000);
    const QByteArray entry = encodedEntry(1000);
    RegisterBenchmark("files/member.dat_5000_members_write+read", memberRoundTrip, 5000)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("files/encode_member_file_5000_members", memberEncode, 5000)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("files/decode_member_file_5000_members", memberDecode, 5000)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("files/raw_QFile_same_bytes_as_member.dat", rawRoundTrip, roster, false)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("files/raw_QFile+fdatasync_same_bytes_as_member.dat", rawRoundTrip, roster, true)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("files/entry_1000_couples_write+read", entryRoundTrip, 1000)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("files/raw_QFile_same_bytes_as_entry", rawRoundTrip, entry, false)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("files/raw_QFile+fdatasync_same_bytes_as_entry", rawRoundTrip, entry, true)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("sort/sort_positions_20000_sorted", sortPositions, 20000)->Unit(benchmark::kMicrosecond);
    RegisterBenchmark("sort/std::sort_20000_sorted", stdSort, 20000)->Unit(benchmark::kMicrosecond);
    RegisterBenchmark("advance/advance_entry_files_200x50", yearAdvance, 200, 50)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("advance/raw_QFile_read+write_200x50", rawAdvance, 200, 50, false)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("advance/raw_QFile_read+write+fdatasync_200x50", rawAdvance, 200, 50, true)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("grid/fill_couple_grid+paint_1000_couples", fillGrid)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("grid/click_dance_cell_1000_couples", clickGrid)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("startup/shown_with_5000_members", startUp, 5000)->UseManualTime()->Unit(benchmark::kMillisecond);
    RegisterBenchmark("startup/shown_with_0_members", startUp, 0)->UseManualTime()->Unit(benchmark::kMillisecond);
    add_member_import_benchmarks(g_folder);

    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    g_grid.reset();

    constexpr double kFrame = 0.016;
    printRatios(
        reporter,
        {
            {"member.dat 5000 members write+read / raw QFile", "files/member.dat_5000_members_write+read",
             "files/raw_QFile_same_bytes_as_member.dat", 0, "target <= 3x"},
            {"member.dat 5000 members write+read / raw QFile+fdatasync", "files/member.dat_5000_members_write+read",
             "files/raw_QFile+fdatasync_same_bytes_as_member.dat", 0, "target <= 3x"},
            {"entry 1000 couples write+read / raw QFile", "files/entry_1000_couples_write+read",
             "files/raw_QFile_same_bytes_as_entry", 0, "target <= 3x"},
            {"entry 1000 couples write+read / raw QFile+fdatasync", "files/entry_1000_couples_write+read",
             "files/raw_QFile+fdatasync_same_bytes_as_entry", 0, "target <= 3x"},
            {"sort_positions 20000 sorted / std::sort", "sort/sort_positions_20000_sorted",
             "sort/std::sort_20000_sorted", 0, "for information"},
            {"year advance 200 files x 50 couples / raw QFile read+write",
             "advance/advance_entry_files_200x50/manual_time", "advance/raw_QFile_read+write_200x50/manual_time", 0,
             "for information"},
            {"year advance 200 files x 50 couples / raw QFile read+write+fdatasync",
             "advance/advance_entry_files_200x50/manual_time",
             "advance/raw_QFile_read+write+fdatasync_200x50/manual_time", 0, "for information"},
            {"grid fill + paint, 1000 couples (4000 rows) / one frame", "grid/fill_couple_grid+paint_1000_couples", "",
             kFrame, "target < 1, under 16 ms"},
            {"grid click (toggle + refill + caption + paint) / one frame", "grid/click_dance_cell_1000_couples", "",
             kFrame, "target < 1, under 16 ms"},
            {"start-up to shown window, 5000 members / empty roster", "startup/shown_with_5000_members/manual_time",
             "startup/shown_with_0_members/manual_time", 0, "for information"},
        });
    print_member_import_ratios(reporter.seconds);
    benchmark::Shutdown();
    return 0;
}
