#pragma once

// What the benchmark files share: sample data at sizes beyond a club's, the folder the files go to, and
// raw file access as the reference the program's own file operations are measured against.

#include "prompter.h"
#include "records.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <benchmark/benchmark.h>

MemberRecord sampleMember(int i, quint8 role);
QList<MemberRecord> sampleRoster(int count);
// Couples of `partners` partners each; without `allYears` every dancer is in year 1 to 3 (nobody leaves
// in the year advance), otherwise the years cycle through 1 to 4.
QList<CoupleRecord> sampleCouples(int count, int partners, bool allYears);
UniversityInfo sampleUniversity();

QByteArray encodedRoster(int count);
QByteArray encodedEntry(int count);

class SilentPrompter : public Prompter {
public:
    void showMessage(const QString& text, Icon) override;
    bool askYesNo(const QString&, Icon) override { return false; }
    bool askYesNoUntilAnswered(const QString&, Icon) override { return false; }
    QString inputText(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFile(const FileRequest&) override { return {}; }
};

// Where the benchmarks write their files; ends with a separator.
extern QString g_folder;

// The process's peak resident memory since the last reset (VmHWM), and the reset (writing 5 to clear_refs).
qint64 peakResident();
void resetPeakResident();

void writeRaw(const QString& path, const QByteArray& bytes, bool sync = false);
QByteArray readRaw(const QString& path);
void mustSucceed(bool ok, const QString& error);

// Each group registers its benchmarks with Google Benchmark.
void registerFileBenchmarks();
void registerWindowBenchmarks();
// Closes the windows the window benchmarks keep open between runs.
void closeBenchmarkWindows();
