// Entry files through the file operations: read_entry_couples (the year advance's reader) and
// read_entry_file (opening an entry) agree on every file, and what read_entry_couples gives is written by
// write_entry_couples and read back the same.

#include "datafiles.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_require_converter();
    const QString folder = fuzz_folder();
    const QString input = folder + QStringLiteral("input.ent");
    const QString output = folder + QStringLiteral("output.ent");
    fuzz_write_raw(input, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    QList<CoupleRecord> couples;
    qint32 count = 0;
    QString error;
    const bool read = read_entry_couples(input, couples, count, &error);

    // Opening the same file as the entry: the same verdict; on failure the state is untouched.
    AppState state;
    state.couples = {CoupleRecord{}};
    state.coupleCount = 1;
    state.universityInfo.university = QStringLiteral("in memory");
    const AppState before = state;
    QString openError;
    const bool opened = read_entry_file(input, state, &openError);
    fuzz_check(read == opened, "read_entry_couples and read_entry_file disagree", error + openError);
    if (!read) {
        fuzz_check(!error.isEmpty() && error.contains(QDir::toNativeSeparators(input)),
                   "a refused entry file is not named", error);
        fuzz_check(state == before, "a refused entry file changed the state");
        return 0;
    }
    fuzz_check(state.coupleCount == count, "opening gives another couple count");
    if (count > 0)
        fuzz_check(fuzz_valid(state.couples, count) == fuzz_valid(couples, count), "opening gives other couples");
    else
        fuzz_check(state.couples == before.couples && state.universityInfo == before.universityInfo,
                   "a file without couples replaced what is in memory");

    UniversityInfo stamp;
    stamp.university = QStringLiteral("Fuzz");
    fuzz_check(write_entry_couples(output, couples, count, stamp, &error), "read couples cannot be written", error);
    QList<CoupleRecord> again;
    qint32 againCount = 0;
    fuzz_check(read_entry_couples(output, again, againCount, &error), "a written entry file does not read", error);
    fuzz_check(againCount == count && fuzz_valid(again, againCount) == fuzz_valid(couples, count),
               "the couples changed on the way round");
    return 0;
}
