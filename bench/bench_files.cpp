// The data files, the code page conversion, the back number sort and the year advance, each beside the
// plain file access or memory copy of the same bytes.

#include "benchsupport.h"

#include "backups.h"
#include "couplegrid.h"
#include "datafiles.h"
#include "savefile.h"
#include "yearadvance.h"

#if __has_include("cp932table.h")
#include "cp932table.h"
#define DANCEENTRY_BENCH_CP932_TABLES 1
#endif

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

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
    const QByteArray bytes = encodedRoster(count);
    for (auto _ : run) {
        QList<MemberRecord> members;
        qint32 read = 0;
        mustSucceed(decode_member_file(bytes, members, read, nullptr), QStringLiteral("decode failed"));
        benchmark::DoNotOptimize(members.data());
    }
}

void entryEncode(benchmark::State& run, int count) {
    const QList<CoupleRecord> couples = sampleCouples(count, 4, true);
    const UniversityInfo info = sampleUniversity();
    for (auto _ : run)
        benchmark::DoNotOptimize(encode_entry_file(couples, count, info, nullptr).data());
}

void entryDecode(benchmark::State& run, int count) {
    const QByteArray bytes = encodedEntry(count);
    for (auto _ : run) {
        QList<CoupleRecord> couples;
        qint32 read = 0;
        UniversityInfo info;
        mustSucceed(decode_entry_file(bytes, couples, read, &info, true, nullptr), QStringLiteral("decode failed"));
        benchmark::DoNotOptimize(couples.data());
    }
}

// Copying the same bytes in memory: the least any conversion of them can cost.
void copyBytes(benchmark::State& run, const QByteArray& bytes) {
    std::vector<char> target(size_t(bytes.size()));
    for (auto _ : run) {
        std::memcpy(target.data(), bytes.constData(), size_t(bytes.size()));
        benchmark::ClobberMemory();
    }
    run.SetBytesProcessed(run.iterations() * bytes.size());
}

// The same number of bytes written and read back with a plain QFile: no encoding, no safe replacement.
void rawRoundTrip(benchmark::State& run, const QByteArray& bytes, bool sync) {
    const QString path = g_folder + QStringLiteral("raw.bin");
    for (auto _ : run) {
        writeRaw(path, bytes, sync);
        benchmark::DoNotOptimize(readRaw(path).data());
    }
    run.SetBytesProcessed(run.iterations() * 2 * bytes.size());
}

// The same bytes through the program's safe save (temporary file, flushed to disk, renamed over the
// old one) and its whole-file read: the floor of a save and a load.
void safeRoundTrip(benchmark::State& run, const QByteArray& bytes) {
    const QString path = g_folder + QStringLiteral("safe.bin");
    for (auto _ : run) {
        QString error;
        mustSucceed(write_file_whole(path, bytes, &error), error);
        QByteArray read;
        mustSucceed(read_file_whole(path, kMaxDataFileSize, &read, &error), error);
        benchmark::DoNotOptimize(read.data());
    }
    run.SetBytesProcessed(run.iterations() * 2 * bytes.size());
}

#ifdef DANCEENTRY_BENCH_CP932_TABLES
// Deriving the conversion tables from ICU, as the first conversion in each direction does (ICU's own
// data is loaded by then).
void deriveDecoding(benchmark::State& run) {
    for (auto _ : run) {
        if (!cp932::table::buildDecoding())
            qFatal("no code page 932 decoding table");
    }
}

void deriveEncoding(benchmark::State& run) {
    const cp932::table::Decoding* decoding = cp932::table::decoding();
    for (auto _ : run) {
        if (!decoding || !cp932::table::buildEncoding(*decoding))
            qFatal("no code page 932 encoding table");
    }
}
#endif

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
        // What the command does after its questions: plan and encode, back up, write.
        YearAdvancePlan plan;
        QString error;
        mustSucceed(plan_year_advance(state, plan, &error), error);
        QStringList names;
        for (const YearAdvancePlan::File& file : plan.entryFiles)
            names << file.name;
        QString backup;
        mustSucceed(back_up_files(state.appFolder, names, &backup, &error), error);
        const QStringList written = write_year_advance(state, plan, &error);
        run.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (written.size() != files + 1 || !plan.untouched.isEmpty())
            qFatal("the year advance failed");
        QDir(backup).removeRecursively();
    }
}

enum class Rewrite { Plain, Synced, SafeSave };

// Reading and writing back the same files without converting them: with a plain QFile, with a plain
// QFile and fdatasync, or through the program's safe save.
void rawAdvance(benchmark::State& run, int files, int couples, Rewrite rewrite) {
    const AdvanceFolder folder(files, couples);
    for (auto _ : run) {
        folder.reset();
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < files; ++i) {
            const QByteArray bytes = readRaw(folder.path(i));
            QString error;
            if (rewrite == Rewrite::SafeSave)
                mustSucceed(write_file_whole(folder.path(i), bytes, &error), error);
            else
                writeRaw(folder.path(i), bytes, rewrite == Rewrite::Synced);
        }
        run.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}

} // namespace

void registerFileBenchmarks() {
    using benchmark::kMicrosecond;
    using benchmark::kMillisecond;
    using benchmark::RegisterBenchmark;
    static const QByteArray roster = encodedRoster(5000);
    static const QByteArray entry = encodedEntry(1000);
    RegisterBenchmark("files/member.dat_5000_members_write+read", memberRoundTrip, 5000)->Unit(kMillisecond);
    RegisterBenchmark("files/encode_member_file_5000_members", memberEncode, 5000)->Unit(kMicrosecond);
    RegisterBenchmark("files/decode_member_file_5000_members", memberDecode, 5000)->Unit(kMicrosecond);
    RegisterBenchmark("files/memcpy_same_bytes_as_member.dat", copyBytes, roster)->Unit(kMicrosecond);
    RegisterBenchmark("files/raw_QFile_same_bytes_as_member.dat", rawRoundTrip, roster, false)->Unit(kMillisecond);
    RegisterBenchmark("files/raw_QFile+fdatasync_same_bytes_as_member.dat", rawRoundTrip, roster, true)
        ->Unit(kMillisecond);
    RegisterBenchmark("files/safe_save+read_same_bytes_as_member.dat", safeRoundTrip, roster)->Unit(kMillisecond);
    RegisterBenchmark("files/entry_1000_couples_write+read", entryRoundTrip, 1000)->Unit(kMillisecond);
    RegisterBenchmark("files/encode_entry_file_1000_couples", entryEncode, 1000)->Unit(kMicrosecond);
    RegisterBenchmark("files/decode_entry_file_1000_couples", entryDecode, 1000)->Unit(kMicrosecond);
    RegisterBenchmark("files/memcpy_same_bytes_as_entry", copyBytes, entry)->Unit(kMicrosecond);
    RegisterBenchmark("files/raw_QFile_same_bytes_as_entry", rawRoundTrip, entry, false)->Unit(kMillisecond);
    RegisterBenchmark("files/raw_QFile+fdatasync_same_bytes_as_entry", rawRoundTrip, entry, true)->Unit(kMillisecond);
    RegisterBenchmark("files/safe_save+read_same_bytes_as_entry", safeRoundTrip, entry)->Unit(kMillisecond);
#ifdef DANCEENTRY_BENCH_CP932_TABLES
    RegisterBenchmark("cp932/derive_decoding_table_from_ICU", deriveDecoding)->Unit(kMillisecond);
    RegisterBenchmark("cp932/derive_encoding_table_from_ICU", deriveEncoding)->Unit(kMillisecond);
#endif
    RegisterBenchmark("sort/sort_positions_20000_sorted", sortPositions, 20000)->Unit(kMicrosecond);
    RegisterBenchmark("sort/std::sort_20000_sorted", stdSort, 20000)->Unit(kMicrosecond);
    RegisterBenchmark("advance/year_advance_200x50", yearAdvance, 200, 50)->UseManualTime()->Unit(kMillisecond);
    RegisterBenchmark("advance/raw_QFile_read+write_200x50", rawAdvance, 200, 50, Rewrite::Plain)
        ->UseManualTime()
        ->Unit(kMillisecond);
    RegisterBenchmark("advance/raw_QFile_read+write+fdatasync_200x50", rawAdvance, 200, 50, Rewrite::Synced)
        ->UseManualTime()
        ->Unit(kMillisecond);
    RegisterBenchmark("advance/read+safe_save_200x50", rawAdvance, 200, 50, Rewrite::SafeSave)
        ->UseManualTime()
        ->Unit(kMillisecond);
}
