#include "bench_memberimport.h"
#include "benchsupport.h"

#include "csvtable.h"
#include "memberimport.h"
#include "memberimportdialog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kRows = 10000;
constexpr int kRosterSize = 300; // a club's roster, which every row is checked against
constexpr double kPreviewBudget = 1.0;

const char* const kReadName = "import/read_member_csv_10000_rows";
const char* const kSplitName = "import/decode_text_bytes+read_csv_same_bytes";
const char* const kPreviewName = "import/preview_10000_rows_read+shown";

QString g_table; // the path of the table

// A spreadsheet's table: texts in Japanese, one row in ten without a role, and now and then a row that is
// refused (already in the roster, or with a year out of range), so every check has work to do.
QByteArray sampleTable() {
    static const char16_t* const family[] = {u"山田", u"鈴木", u"佐藤", u"高橋", u"田中",
                                             u"伊藤", u"渡辺", u"中村", u"小林", u"加藤"};
    static const char16_t* const kana[] = {u"やまだ", u"すずき",   u"さとう",   u"たかはし", u"たなか",
                                           u"いとう", u"わたなべ", u"なかむら", u"こばやし", u"かとう"};
    QList<QStringList> rows = {{QStringLiteral("名前"), QStringLiteral("かな"), QStringLiteral("回生"),
                                QStringLiteral("学部"), QStringLiteral("出身高校"), QStringLiteral("役割")}};
    for (int i = 0; i < kRows; ++i) {
        const QString year = i % 97 == 0 ? QStringLiteral("5") : QString::number(1 + i % 4) + QStringLiteral("回生");
        const QString role = i % 10 == 0 ? QString() : (i % 2 ? QStringLiteral("partner") : QStringLiteral("L"));
        rows.append({QString::fromUtf16(family[i % 10]) + QString::number(i),
                     QString::fromUtf16(kana[i % 10]) + QString::number(i), year, QStringLiteral("理工学部"),
                     QStringLiteral("県立第%1高等学校").arg(i % 30), role});
    }
    return QByteArray("\xEF\xBB\xBF") + csv_text(rows).toUtf8();
}

AppState sampleState() {
    AppState state;
    for (int i = 0; i < kRosterSize; ++i) {
        MemberRecord m;
        // Every 30th member is also in the table.
        m.name = (i % 30 == 0 ? QStringLiteral("山田") : QStringLiteral("部員")) + QString::number(i);
        m.kana = (i % 30 == 0 ? QStringLiteral("やまだ") : QStringLiteral("ぶいん")) + QString::number(i);
        m.year = 1;
        state.members.append(m);
    }
    state.memberCount = kRosterSize;
    return state;
}

void readMemberCsv(benchmark::State& run) {
    const AppState state = sampleState();
    for (auto _ : run) {
        QList<ImportCandidate> candidates;
        QString error;
        if (!read_member_csv(g_table, state, &candidates, &error))
            qFatal("%s", error.toUtf8().constData());
        benchmark::DoNotOptimize(candidates.data());
    }
}

void decodeAndSplit(benchmark::State& run) {
    QFile file(g_table);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(g_table));
    const QByteArray bytes = file.readAll();
    for (auto _ : run) {
        QString text;
        if (!decode_text_bytes(bytes, &text))
            qFatal("the table is no text");
        const CsvReadResult table = read_csv(text);
        benchmark::DoNotOptimize(table.rows.data());
    }
}

// Reads the table at `path` as the import does and shows its preview painted: one iteration's time.
void timePreview(benchmark::State& run, const QString& path, AppState& state) {
    QElapsedTimer timer;
    timer.start();
    QList<ImportCandidate> candidates;
    QString error;
    if (!read_member_csv(path, state, &candidates, &error))
        qFatal("%s", error.toUtf8().constData());
    MemberImportDialog dialog(state, std::move(candidates));
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        qFatal("the preview was not shown");
    dialog.repaint();
    run.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    dialog.reject();
}

// What the user waits for after choosing the file: reading and checking it, and the preview filled and painted.
void preview(benchmark::State& run) {
    AppState state = sampleState();
    for (auto _ : run) {
        timePreview(run, g_table, state);
        QCoreApplication::processEvents();
    }
    if (state.memberCount != kRosterSize)
        qFatal("the preview changed the roster");
}

// The largest tables the import takes (kMemberImportMaxRows data rows behind a header, within
// kMemberImportMaxBytes), each heavy in its own way: every text long enough for a tooltip, a hundred extra
// columns a row, and one cell of the whole size.
QByteArray largestTable(const std::string& shape) {
    QByteArray bytes = "名前,かな,回生,学部,出身高校,役割\r\n";
    if (shape == "one_cell_of_4MiB")
        return bytes + "a,k,1,," + QByteArray(int(kMemberImportMaxBytes) - bytes.size() - 32, 'y') + "\r\n";
    for (int i = 0; i < kMemberImportMaxRows; ++i) {
        const QByteArray number = QByteArray::number(i);
        if (shape == "100_columns_more")
            bytes += "m" + number + ",k,1,,,L" + QByteArray(",x").repeated(95) + "\r\n";
        else
            bytes += (QString(20, QChar(0x821E)) + QString::number(i) + QLatin1Char(',') + QString(20, QChar(0x3042)) +
                      QStringLiteral(",1,理工学部情報科学科,県立第一高等学校,L\r\n"))
                         .toUtf8();
    }
    if (bytes.size() > kMemberImportMaxBytes)
        qFatal("the %s table takes %lld bytes", shape.c_str(), qint64(bytes.size()));
    return bytes;
}

// The largest accepted table read and shown in the preview: the time and the process's peak while it loads.
void largestPreview(benchmark::State& run, const std::string& shape) {
    const QString path = g_folder + QStringLiteral("largest-%1.csv").arg(QString::fromStdString(shape));
    writeRaw(path, largestTable(shape));
    AppState state = sampleState();
    qint64 peak = 0;
    for (auto _ : run) {
        resetPeakResident();
        timePreview(run, path, state);
        peak = std::max(peak, peakResident());
        run.counters["peak_MB"] = double(peak) / 1e6;
        QCoreApplication::processEvents();
    }
}

double secondsOf(const std::map<std::string, double>& seconds, const std::string& name) {
    const auto found = seconds.find(name);
    return found == seconds.end() ? 0.0 : found->second;
}

} // namespace

void add_member_import_benchmarks(const QString& folder) {
    g_table = folder + QStringLiteral("members10000.csv");
    QFile file(g_table);
    const QByteArray bytes = sampleTable();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(g_table));
    file.close();

    benchmark::RegisterBenchmark(kReadName, readMemberCsv)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(kSplitName, decodeAndSplit)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(kPreviewName, preview)->UseManualTime()->Unit(benchmark::kMillisecond);
    // Target for each: within 2 s and 500 MB.
    for (const std::string shape : {"20000_rows_of_long_texts", "100_columns_more", "one_cell_of_4MiB"})
        benchmark::RegisterBenchmark(("import/largest_" + shape + "_read+shown").c_str(), largestPreview, shape)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
}

void print_member_import_ratios(const std::map<std::string, double>& secondsPerIteration) {
    const double read = secondsOf(secondsPerIteration, kReadName);
    const double split = secondsOf(secondsPerIteration, kSplitName);
    const double shown = secondsOf(secondsPerIteration, std::string(kPreviewName) + "/manual_time");
    if (read > 0 && split > 0)
        std::printf("  %-72s %9.3f ms / %9.3f ms = %6.2fx  (%s)\n",
                    "read_member_csv 10000 rows / decode_text_bytes + read_csv", read * 1e3, split * 1e3, read / split,
                    "for information");
    if (shown > 0)
        std::printf("  %-72s %9.3f ms / %9.3f ms = %6.2fx  (%s)\n", "member import preview, 10000 rows / one second",
                    shown * 1e3, kPreviewBudget * 1e3, shown / kPreviewBudget, "target < 1, under one second");
}
