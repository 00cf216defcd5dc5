// The member file, entry files, uniinf.dat and Gamename.txt: their exact bytes, reading back what was
// written, refusing damaged files without touching the state, failed writes, and the competition names.

#include "cp932.h"
#include "datafiles.h"
#include "recordcodec.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using testfiles::fromHex;
using testfiles::member;
using testfiles::readBytes;
using testfiles::writeBytes;

namespace {

enum Kind { Member, Entry, University, EntryCouples };

QString fileNameOf(Kind kind) {
    switch (kind) {
    case Member:
        return QStringLiteral("member.dat");
    case University:
        return QStringLiteral("uniinf.dat");
    case Entry:
    case EntryCouples:
        break;
    }
    return QString::fromUtf8("春季大会.ent");
}

bool writeAs(Kind kind, const QString& path, const AppState& state, QString* error) {
    switch (kind) {
    case Member:
        return write_member_file(path, state, error);
    case University:
        return write_university_file(path, state.universityInfo, error);
    case Entry:
        return write_entry_file(path, state, error);
    case EntryCouples:
        return write_entry_couples(path, state.couples, state.coupleCount, state.universityInfo, error);
    }
    return false;
}

// read_entry_couples reads into the state's own list and count, so that a comparison of the whole state
// shows anything it changed.
bool readAs(Kind kind, const QString& path, AppState& state, QString* error) {
    switch (kind) {
    case Member:
        return read_member_file(path, state, error);
    case University:
        return read_university_file(path, state, error);
    case Entry:
        return read_entry_file(path, state, error);
    case EntryCouples:
        return read_entry_couples(path, state.couples, state.coupleCount, error);
    }
    return false;
}

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

QByteArray sjis(const char* utf8) {
    QByteArray bytes;
    cp932::encode(QString::fromUtf8(utf8), &bytes);
    return bytes;
}

// A state in which every field of every record differs from its zero value.
AppState sampleState(const QTemporaryDir& dir) {
    AppState state = testfiles::stateIn(dir);
    MemberRecord hanako = member(u8("山田花子"), u8("やまだはなこ"), 2, 1);
    hanako.highschool = u8("県立第一高校");
    hanako.department = u8("文学部");
    MemberRecord taka = member(u8("髙橋①"), u8("ﾀｶﾊｼ"), 4, 0);
    taka.highschool = u8("私立～学園");
    taka.department = u8("理工学部");
    taka.deleteMark = 1; // written as stored
    state.members = {hanako, taka, new_member_record()};
    state.memberCount = 3;

    const MemberRecord sato = member(u8("佐藤"), u8("さとう"), 3, 0);
    CoupleRecord first = testfiles::couple(101, sato, {hanako}, {QStringLiteral("QW")});
    first.university = u8("東都大学");
    first.regular = 1;
    first.section = 1;
    first.gameName = u8("春季大会");

    QList<MemberRecord> four;
    for (int i = 0; i < 4; ++i)
        four << member(u8("部員") + QString::number(i), u8("ぶいん"), quint8(1 + i), 1);
    CoupleRecord second = testfiles::couple(
        123456, taka, four, {QStringLiteral("PCSR"), QString(), QStringLiteral("T"), QStringLiteral("FQW")});
    second.section = 2;
    second.yearSum = 99;       // stored, never recomputed on reading
    second.danceFlags[1] = -1; // likewise: the flags are stored data, not derived from the texts
    second.deleteMark = 1;
    state.couples = {first, second};
    state.coupleCount = 2;

    state.universityInfo = {u8("東都大学"),
                            u8("西都女子大学"),
                            u8("部長 太郎"),
                            u8("マネ 花子"),
                            u8("連盟 次郎"),
                            u8("一行目\r\n二行目"),
                            u8("全日本学生競技ダンス選手権")};
    state.entryFileName = fileNameOf(Entry);
    return state;
}

// A state already holding other data, as a reader finds it when the program has been in use.
AppState occupiedState(const QTemporaryDir& dir) {
    AppState state = testfiles::stateIn(dir);
    state.members = {member(u8("既存"), u8("きそん"), 1, 0), member(u8("予備"), u8("よび"), 2, 1)};
    state.memberCount = 1; // fewer valid members than allocated
    state.couples = {testfiles::couple(7, state.members[0], {state.members[1]}, {QStringLiteral("S")})};
    state.coupleCount = 1;
    state.universityInfo.university = u8("旧大学");
    state.universityInfo.comment = u8("前のコメント");
    state.entryFileName = QStringLiteral("old.ent");
    state.membersChanged = true;
    state.entryChanged = true;
    return state;
}

QByteArray encodedFile(Kind kind, const AppState& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("encoded"));
    QString error;
    if (!writeAs(kind, path, state, &error))
        qFatal("could not write a sample file: %s", qPrintable(error));
    return readBytes(path);
}

void patchLong(QByteArray& bytes, qsizetype offset, qint32 value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = char(quint32(value) >> (8 * i));
}

// An entry file with one couple written field by field, so that damaged variants can be built. The
// record writer does not check the couple.
QByteArray entryBytes(qint32 leadingCount, const CoupleRecord& couple) {
    RecordWriter writer;
    writer.writeLong(1);
    writer.writeLong(leadingCount);
    writer.writeCouple(couple);
    writer.writeUniversity(UniversityInfo{});
    return writer.data();
}

CoupleRecord emptyCouple(int partners) {
    QList<MemberRecord> list(partners, MemberRecord{});
    return testfiles::couple(1, MemberRecord{}, list);
}

} // namespace

Q_DECLARE_METATYPE(AppState)

class TestDataFiles : public QObject {
    Q_OBJECT

private slots:
    void byteExact_data();
    void byteExact();

    void roundTrip_data();
    void roundTrip();
    void shorterOverLonger_data();
    void shorterOverLonger();
    void missingFileChangesNothing_data();
    void missingFileChangesNothing();
    void bytesAfterTheLastFieldRefused_data();
    void bytesAfterTheLastFieldRefused();

    void entryWithoutCouplesKeepsMemory();
    void entryWithCouplesReplacesUniversityInfo();
    void readEntryCouplesTouchesOnlyTheList();

    void everyTruncationRefused_data();
    void everyTruncationRefused();
    void damagedFileRefused_data();
    void damagedFileRefused();

    void boundsRead_data();
    void boundsRead();

    void writeToUnusablePathFails_data();
    void writeToUnusablePathFails();
    void refusedWriteKeepsEarlierFile_data();
    void refusedWriteKeepsEarlierFile();

    void gameNames_data();
    void gameNames();
    void gameNamesMissingFile();
};

void TestDataFiles::byteExact_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<AppState>("state");
    QTest::addColumn<QByteArray>("bytes");

    AppState state;
    QTest::newRow("empty roster") << int(Member) << state << fromHex("00 00 00 00");
    QTest::newRow("empty uniinf.dat") << int(University) << state << QByteArray(14, '\0');
    QTest::newRow("entry without couples") << int(Entry) << state << fromHex("00 00 00 00") + QByteArray(14, '\0');

    state.members = {new_member_record()};
    state.memberCount = 1;
    QTest::newRow("fresh member, 11 bytes")
        << int(Member) << state << fromHex("01 00 00 00  00 00 00 00 01 00 00 00 00 00 00");

    state.members = {member(u8("山田"), u8("やまだ"), 2, 1)};
    QTest::newRow("yamada, 21 bytes") << int(Member) << state
                                      << fromHex("01 00 00 00  04 00 8E 52 93 63  06 00 82 E2 82 DC 82 BE  02 "
                                                 "00 00  00 00  01  00");

    state.members = {member(QString(10, QChar(0x5C71)), QString(), 1, 0)};
    QTest::newRow("ten kanji, length 20") << int(Member) << state
                                          << fromHex("01 00 00 00  14 00") + QByteArray("\x8E\x52", 2).repeated(10) +
                                                 fromHex("00 00 01 00 00 00 00 00 00");

    state = AppState();
    CoupleRecord one = testfiles::couple(12, member({}, {}, 3, 0), {member({}, {}, 2, 1)});
    one.regular = 1;
    one.section = 2;
    one.danceFlags = {0, -1, -1, -1, -1, -1, -1, 0};
    state.couples = {one};
    state.coupleCount = 1;
    QTest::newRow("one-partner couple, 109 bytes") << int(Entry) << state
                                                   << fromHex("01 00 00 00 "
                                                              "01 00 00 00 "       // leading count
                                                              "0C 00 00 00 00 00 " // back number, university
                                                              "00 00 00 00 03 00 00 00 00 00 00 " // leader
                                                              "01 00 01 00 00 00 00 00 00 00 "    // partners
                                                              "00 00 00 00 02 00 00 00 00 01 00 "
                                                              "01 00 01 00 00 00 00 00 00 00 00 00 " // dances
                                                              "01 00 00 00 01 05 00 00 00 00 00 02 "
                                                              "01 00 08 00 00 00 00 00 00 00 " // dance flags
                                                              "00 00 00 00 FF FF FF FF FF FF FF FF FF FF FF FF "
                                                              "FF FF FF FF FF FF FF FF FF FF FF FF 00 00 00 00 "
                                                              "00") +
                                                          QByteArray(14, '\0');

    QList<MemberRecord> three = {member({}, {}, 1, 1), member({}, {}, 2, 1), member({}, {}, 3, 1)};
    state.couples = {
        testfiles::couple(2, member({}, {}, 3, 0), three, {QStringLiteral("W"), QStringLiteral("TF"), QString()})};
    QTest::newRow("three-partner couple") << int(Entry) << state
                                          << fromHex("01 00 00 00 "
                                                     "03 00 00 00 "
                                                     "02 00 00 00 00 00 "
                                                     "00 00 00 00 03 00 00 00 00 00 00 "
                                                     "01 00 03 00 00 00 00 00 00 00 " // partners: count 3
                                                     "00 00 00 00 01 00 00 00 00 01 00 "
                                                     "00 00 00 00 02 00 00 00 00 01 00 "
                                                     "00 00 00 00 03 00 00 00 00 01 00 "
                                                     "01 00 03 00 00 00 00 00 00 00 " // dances: count 3
                                                     "01 00 57 02 00 54 46 00 00 "
                                                     "03 00 00 00 00 04 00 00 00 00 00 00 "
                                                     "01 00 08 00 00 00 00 00 00 00 " // flags: count 8
                                                     "00 00 00 00 00 00 00 00 00 00 00 00 FF FF FF FF "
                                                     "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF "
                                                     "00") +
                                                 QByteArray(14, '\0');

    state = AppState();
    state.universityInfo.university = u8("東都大学");
    state.universityInfo.comment = QStringLiteral("a\r\nb");
    QTest::newRow("uniinf.dat with text") << int(University) << state
                                          << fromHex("08 00 93 8C 93 73 91 E5 8A 77 00 00 00 00 00 00 00 00 "
                                                     "04 00 61 0D 0A 62 00 00");
}

void TestDataFiles::byteExact() {
    QFETCH(int, kind);
    QFETCH(AppState, state);
    QFETCH(QByteArray, bytes);

    QTemporaryDir dir;
    const QString path = dir.filePath(fileNameOf(Kind(kind)));
    QString error;
    QVERIFY2(writeAs(Kind(kind), path, state, &error), qPrintable(error));
    QCOMPARE(testfiles::toHex(readBytes(path)), testfiles::toHex(bytes));

    AppState read;
    QVERIFY2(readAs(Kind(kind), path, read, &error), qPrintable(error));
    QCOMPARE(read.memberCount, state.memberCount);
    QCOMPARE(read.members.mid(0, read.memberCount), state.members.mid(0, state.memberCount));
    QCOMPARE(read.coupleCount, state.coupleCount);
    QCOMPARE(read.couples.mid(0, read.coupleCount), state.couples.mid(0, state.coupleCount));
    QCOMPARE(read.universityInfo, state.universityInfo);
}

void TestDataFiles::roundTrip_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("member.dat") << int(Member);
    QTest::newRow("entry file") << int(Entry);
    QTest::newRow("entry couples") << int(EntryCouples);
    QTest::newRow("uniinf.dat") << int(University);
}

// Everything written is read back field for field, into a state that held nothing before.
void TestDataFiles::roundTrip() {
    QFETCH(int, kind);
    QTemporaryDir dir;
    const AppState written = sampleState(dir);
    const QString path = dir.filePath(fileNameOf(Kind(kind)));
    QString error;
    QVERIFY2(writeAs(Kind(kind), path, written, &error), qPrintable(error));

    AppState read = testfiles::stateIn(dir);
    AppState expected = read;
    switch (Kind(kind)) {
    case Member:
        expected.members = written.members;
        expected.memberCount = written.memberCount;
        break;
    case Entry:
        expected.universityInfo = written.universityInfo;
        [[fallthrough]];
    case EntryCouples:
        expected.couples = written.couples;
        expected.coupleCount = written.coupleCount;
        break;
    case University:
        expected.universityInfo = written.universityInfo;
        break;
    }
    QVERIFY2(readAs(Kind(kind), path, read, &error), qPrintable(error));
    QCOMPARE(read.members, expected.members);
    QCOMPARE(read.couples, expected.couples);
    QCOMPARE(read.universityInfo, expected.universityInfo);
    QVERIFY(read == expected);
}

void TestDataFiles::shorterOverLonger_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<AppState>("longer");
    QTest::addColumn<AppState>("shorter");

    QTemporaryDir dir;
    const AppState sample = sampleState(dir);

    AppState longer = sample;
    AppState shorter = sample;
    longer.members.clear();
    for (int i = 0; i < 10; ++i)
        longer.members << member(u8("会員") + QString::number(i), u8("かいいん"), 1, 0);
    longer.memberCount = 10;
    shorter.members = longer.members.mid(0, 3);
    shorter.memberCount = 3;
    QTest::newRow("3 members over 10") << int(Member) << longer << shorter;

    longer = sample;
    shorter = sample;
    for (int i = 0; i < 3; ++i)
        longer.couples << sample.couples[1];
    longer.coupleCount = 5;
    QTest::newRow("2 couples over 5") << int(Entry) << longer << shorter;

    shorter.coupleCount = 0;
    QTest::newRow("no couples over 5") << int(Entry) << longer << shorter;

    shorter = sample;
    shorter.universityInfo = UniversityInfo{};
    shorter.universityInfo.university = u8("短");
    QTest::newRow("short uniinf.dat over a long one") << int(University) << sample << shorter;
}

void TestDataFiles::shorterOverLonger() {
    QFETCH(int, kind);
    QFETCH(AppState, longer);
    QFETCH(AppState, shorter);

    QTemporaryDir dir;
    const QString path = dir.filePath(fileNameOf(Kind(kind)));
    QString error;
    QVERIFY2(writeAs(Kind(kind), path, longer, &error), qPrintable(error));
    const qint64 longSize = QFileInfo(path).size();
    QVERIFY2(writeAs(Kind(kind), path, shorter, &error), qPrintable(error));

    QCOMPARE(readBytes(path), encodedFile(Kind(kind), shorter));
    QVERIFY(QFileInfo(path).size() < longSize);
    // Nothing is left beside the file either.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{fileNameOf(Kind(kind))});
}

void TestDataFiles::missingFileChangesNothing_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("member.dat") << int(Member);
    QTest::newRow("entry file") << int(Entry);
    QTest::newRow("uniinf.dat") << int(University);
}

void TestDataFiles::missingFileChangesNothing() {
    QFETCH(int, kind);
    QTemporaryDir dir;
    AppState state = occupiedState(dir);
    const AppState before = state;
    QString error;
    QVERIFY(readAs(Kind(kind), dir.filePath(fileNameOf(Kind(kind))), state, &error));
    QVERIFY(error.isEmpty());
    QVERIFY(state == before);
    QVERIFY(!QFileInfo::exists(dir.filePath(fileNameOf(Kind(kind)))));
}

void TestDataFiles::bytesAfterTheLastFieldRefused_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("zeros"); // a file of zero bytes, as a power cut leaves one; else junk after a good file
    for (const auto& [name, kind] : {std::pair{"member.dat", Member}, std::pair{"entry file", Entry},
                                     std::pair{"entry couples", EntryCouples}, std::pair{"uniinf.dat", University}}) {
        QTest::addRow("%s, bytes after the last field", name) << int(kind) << false;
        QTest::addRow("%s, 250 zero bytes", name) << int(kind) << true;
    }
}

// Files this program and the earlier one write end with their last field: anything after it, and a file of
// zero bytes (which reads as empty records followed by zeros), is damaged, refused and changes nothing.
void TestDataFiles::bytesAfterTheLastFieldRefused() {
    QFETCH(int, kind);
    QFETCH(bool, zeros);
    QTemporaryDir dir;
    const AppState sample = sampleState(dir);
    const QString path = dir.filePath(fileNameOf(Kind(kind)));
    writeBytes(path, zeros ? QByteArray(250, '\0') : encodedFile(Kind(kind), sample) + fromHex("FF 82 00"));

    AppState read = testfiles::stateIn(dir);
    const AppState before = read;
    QString error;
    QVERIFY(!readAs(Kind(kind), path, read, &error));
    QVERIFY2(error.contains(QStringLiteral("余分なデータ")), qPrintable(error));
    QCOMPARE(read, before);
}

// Saving an entry without couples and opening it again: the count becomes 0, and the couples and the
// university information in memory stay as they were.
void TestDataFiles::entryWithoutCouplesKeepsMemory() {
    QTemporaryDir dir;
    AppState empty = sampleState(dir);
    empty.coupleCount = 0;
    empty.universityInfo.university = u8("別の大学");
    const QString path = dir.filePath(fileNameOf(Entry));
    QString error;
    QVERIFY2(write_entry_file(path, empty, &error), qPrintable(error));
    QVERIFY(readBytes(path).startsWith(fromHex("00 00 00 00")));

    AppState state = occupiedState(dir);
    const AppState before = state;
    QVERIFY2(read_entry_file(path, state, &error), qPrintable(error));
    QCOMPARE(state.coupleCount, 0);
    QCOMPARE(state.couples, before.couples);
    QCOMPARE(state.universityInfo, before.universityInfo);
    AppState expected = before;
    expected.coupleCount = 0;
    QVERIFY(state == expected);
}

void TestDataFiles::entryWithCouplesReplacesUniversityInfo() {
    QTemporaryDir dir;
    const AppState sample = sampleState(dir);
    const QString path = dir.filePath(fileNameOf(Entry));
    QString error;
    QVERIFY2(write_entry_file(path, sample, &error), qPrintable(error));
    AppState stored = occupiedState(dir);
    QVERIFY2(write_university_file(stored.universityFilePath(), stored.universityInfo, &error), qPrintable(error));
    const QByteArray uniinf = readBytes(stored.universityFilePath());

    AppState state = occupiedState(dir);
    AppState expected = state;
    expected.couples = sample.couples;
    expected.coupleCount = sample.coupleCount;
    expected.universityInfo = sample.universityInfo;
    QVERIFY2(read_entry_file(path, state, &error), qPrintable(error));
    QVERIFY(state == expected); // entryFileName and the changed-flags are the callers' business
    QCOMPARE(readBytes(stored.universityFilePath()), uniinf);
}

// read_entry_couples reads the couples of another entry file; the university information at its end is
// checked but used nowhere.
void TestDataFiles::readEntryCouplesTouchesOnlyTheList() {
    QTemporaryDir dir;
    const AppState sample = sampleState(dir);
    const QString path = dir.filePath(fileNameOf(Entry));
    QString error;
    QVERIFY2(write_entry_file(path, sample, &error), qPrintable(error));

    QList<CoupleRecord> list = occupiedState(dir).couples;
    qint32 count = -5;
    QVERIFY2(read_entry_couples(path, list, count, &error), qPrintable(error));
    QCOMPARE(count, 2);
    QCOMPARE(list, sample.couples);

    AppState empty = sample;
    empty.coupleCount = 0;
    QVERIFY2(write_entry_file(path, empty, &error), qPrintable(error));
    QVERIFY2(read_entry_couples(path, list, count, &error), qPrintable(error));
    QCOMPARE(count, 0);

    // The university information is part of the file: without its last byte the file is refused.
    writeBytes(path, encodedFile(Entry, sample).chopped(1));
    list = sample.couples;
    count = 2;
    QVERIFY(!read_entry_couples(path, list, count, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(list, sample.couples);
    QCOMPARE(count, 2);
}

void TestDataFiles::everyTruncationRefused_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<AppState>("state");

    QTemporaryDir dir;
    const AppState sample = sampleState(dir);
    QTest::newRow("member.dat") << int(Member) << sample;
    QTest::newRow("entry file") << int(Entry) << sample;
    QTest::newRow("entry couples") << int(EntryCouples) << sample;
    AppState noCouples = sample;
    noCouples.coupleCount = 0;
    QTest::newRow("entry file without couples") << int(Entry) << noCouples;
    QTest::newRow("uniinf.dat") << int(University) << sample;
}

// A file cut off anywhere, even on a field boundary, is refused and leaves the whole state as it was.
void TestDataFiles::everyTruncationRefused() {
    QFETCH(int, kind);
    QFETCH(AppState, state);

    QTemporaryDir dir;
    const QByteArray whole = encodedFile(Kind(kind), state);
    const QString path = dir.filePath(fileNameOf(Kind(kind)));
    const AppState before = occupiedState(dir);
    for (qsizetype length = 0; length < whole.size(); ++length) {
        writeBytes(path, whole.first(length));
        AppState target = before;
        QString error;
        const QByteArray where = "prefix of " + QByteArray::number(length) + " bytes";
        QVERIFY2(!readAs(Kind(kind), path, target, &error), where.constData());
        QVERIFY2(error.contains(fileNameOf(Kind(kind))), qPrintable(error));
        QVERIFY2(target == before, where.constData());
    }
}

void TestDataFiles::damagedFileRefused_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray yamada = fromHex("04 00 8E 52 93 63 06 00 82 E2 82 DC 82 BE 02 00 00 00 00 01 00");
    QTest::newRow("2,147,483,647 members") << int(Member) << fromHex("FF FF FF 7F") + yamada;
    QTest::newRow("negative member count") << int(Member) << fromHex("FF FF FF FF") + yamada;
    QTest::newRow("more members than the file holds") << int(Member) << fromHex("03 00 00 00") + yamada + yamada;
    QTest::newRow("invalid Shift-JIS in a name")
        << int(Member) << fromHex("01 00 00 00 02 00 41 82 00 00 01 00 00 00 00 00 00");

    // One couple, all texts empty: partners header at 25, dances header at 46, partnerCount at 58,
    // flags header at 70.
    const QByteArray valid = entryBytes(1, emptyCouple(1));
    QCOMPARE(valid.size(), 4 + 109 + 14);
    QTest::newRow("valid entry, for reference") << -1 << valid;

    QByteArray bytes = valid;
    patchLong(bytes, 0, 0x7FFFFFFF);
    QTest::newRow("2,147,483,647 couples") << int(Entry) << bytes;
    bytes = valid;
    patchLong(bytes, 0, -1);
    QTest::newRow("negative couple count") << int(Entry) << bytes;
    bytes = valid;
    bytes[25] = 2;
    QTest::newRow("partners with two dimensions") << int(Entry) << bytes;
    bytes = valid;
    bytes[46] = 0;
    QTest::newRow("dances with no dimension") << int(Entry) << bytes;
    bytes = valid;
    patchLong(bytes, 25 + 6, 1);
    QTest::newRow("partners with lower bound 1") << int(Entry) << bytes;
    bytes = valid;
    patchLong(bytes, 70 + 6, -1);
    QTest::newRow("flags with lower bound -1") << int(Entry) << bytes;
    bytes = valid;
    patchLong(bytes, 25 + 2, 0x7FFFFFFF);
    QTest::newRow("2,147,483,647 partners") << int(Entry) << bytes;
    bytes = valid;
    patchLong(bytes, 46 + 2, -1);
    QTest::newRow("negative dance text count") << int(Entry) << bytes;
    bytes = valid;
    patchLong(bytes, 58, 2);
    QTest::newRow("partnerCount differs from the leading count") << int(Entry) << bytes;

    CoupleRecord couple = emptyCouple(0);
    couple.partnerCount = 0;
    QTest::newRow("leading count 0") << int(Entry) << entryBytes(0, couple);
    couple = emptyCouple(5);
    QTest::newRow("leading count 5") << int(Entry) << entryBytes(5, couple);
    couple = emptyCouple(2);
    couple.partnerDances.removeLast();
    QTest::newRow("one dance text for two partners") << int(Entry) << entryBytes(2, couple);
    couple = emptyCouple(2);
    couple.partners.removeLast();
    QTest::newRow("one partner record for two partners") << int(Entry) << entryBytes(2, couple);
    couple = emptyCouple(2);
    QTest::newRow("leading count 1 for two partners") << int(Entry) << entryBytes(1, couple);
    couple = emptyCouple(1);
    couple.danceFlags.removeLast();
    QTest::newRow("seven dance flags") << int(Entry) << entryBytes(1, couple);
    couple.danceFlags << -1 << -1;
    QTest::newRow("nine dance flags") << int(Entry) << entryBytes(1, couple);
    couple = emptyCouple(1);
    couple.partnerDances = {QStringLiteral("W")};
    bytes = entryBytes(1, couple);
    bytes[bytes.indexOf(fromHex("01 00 57"), 46) + 2] = char(0x82);
    QTest::newRow("lone lead byte in a dance text") << int(Entry) << bytes;
    QTest::newRow("lone lead byte in the university information")
        << int(Entry) << valid.chopped(2) + fromHex("01 00 82");

    QTest::newRow("invalid Shift-JIS in uniinf.dat") << int(University) << QByteArray(12, '\0') + fromHex("01 00 FF");
    QTest::newRow("text longer than uniinf.dat") << int(University) << fromHex("FF FF 41 42") + QByteArray(12, '\0');
}

void TestDataFiles::damagedFileRefused() {
    QFETCH(int, kind);
    QFETCH(QByteArray, bytes);

    QTemporaryDir dir;
    // The reference row proves that the variants differ from a valid file only where they say.
    const bool reference = kind < 0;
    const Kind as = reference ? Entry : Kind(kind);
    const QString path = dir.filePath(fileNameOf(as));
    writeBytes(path, bytes);
    AppState state = occupiedState(dir);
    const AppState before = state;
    QString error;
    const bool read = readAs(as, path, state, &error);
    if (reference) {
        QVERIFY2(read, qPrintable(error));
        return;
    }
    QVERIFY(!read);
    QVERIFY2(error.contains(fileNameOf(as)), qPrintable(error));
    QVERIFY(state == before);
    if (as == Entry) {
        QList<CoupleRecord> list = before.couples;
        qint32 count = 1;
        QVERIFY(!read_entry_couples(path, list, count, &error));
        QCOMPARE(list, before.couples);
        QCOMPARE(count, 1);
    }
}

// The largest roster and entry file the readers take are read; one member or couple more, or one byte more, is
// refused unread, with a message naming the limit, and the state stays as it was.
void TestDataFiles::boundsRead_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("named"); // empty: read

    // Built once: the largest files take a while to make under the sanitizers. A byte after the last field makes
    // a file one byte beyond the bound; the size is checked before anything is read.
    static const QByteArray largestRoster = testfiles::largestMemberFile();
    static const QByteArray largestEntry = testfiles::largestEntryFile();
    QCOMPARE(largestRoster.size(), kMaxMemberFileSize);
    QCOMPARE(largestEntry.size(), kMaxEntryFileSize);
    QTest::newRow("the largest member.dat") << int(Member) << largestRoster << QString();
    QTest::newRow("one byte beyond the largest member.dat")
        << int(Member) << largestRoster + '\0' << u8("は大きすぎる（10,460,005 バイト）");
    QByteArray members = fromHex("21 4E 00 00"); // 20,001
    members += QByteArray(11 * (kMaxMembers + 1), '\0');
    QTest::newRow("20,001 members") << int(Member) << members << u8("にはメンバー 20,001 人が記録");

    QTest::newRow("the largest entry file") << int(Entry) << largestEntry << QString();
    QTest::newRow("one byte beyond the largest entry file")
        << int(Entry) << largestEntry + '\0' << u8("は大きすぎる（35,218,764 バイト）");
    QByteArray couples = fromHex("11 27 00 00"); // 10,001
    couples += entryBytes(1, emptyCouple(1)).mid(4, 109).repeated(kMaxCouples + 1) + QByteArray(14, '\0');
    QTest::newRow("10,001 couples") << int(Entry) << couples << u8("にはカップル 10,001 組が記録");
    QTest::newRow("10,001 couples for the year advance") << int(EntryCouples) << couples << u8("カップル 10,001 組");
}

void TestDataFiles::boundsRead() {
    QFETCH(int, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, named);

    QTemporaryDir dir;
    const QString path = dir.filePath(fileNameOf(Kind(kind)));
    writeBytes(path, bytes);
    AppState state = occupiedState(dir);
    const AppState before = state;
    QString error;
    const bool read = readAs(Kind(kind), path, state, &error);
    if (named.isEmpty()) {
        QVERIFY2(read, qPrintable(error.left(300)));
        QCOMPARE(Kind(kind) == Member ? state.memberCount : state.coupleCount,
                 Kind(kind) == Member ? kMaxMembers : kMaxCouples);
        return;
    }
    QVERIFY(!read);
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)) && error.contains(named), qPrintable(error));
    // The limit itself is named, in records and in bytes.
    const QString limit = Kind(kind) == Member ? u8("メンバー 20,000 人、10,460,004 バイト")
                                               : u8("カップル 10,000 組、35,218,763 バイト");
    QVERIFY2(error.contains(limit), qPrintable(error));
    QVERIFY(state == before);
}

void TestDataFiles::writeToUnusablePathFails_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("parentIsFile");
    for (int kind : {int(Member), int(Entry), int(University)}) {
        const QByteArray name = fileNameOf(Kind(kind)).toUtf8();
        QTest::addRow("%s in a missing folder", name.constData()) << kind << false;
        QTest::addRow("%s below a plain file", name.constData()) << kind << true;
    }
}

void TestDataFiles::writeToUnusablePathFails() {
    QFETCH(int, kind);
    QFETCH(bool, parentIsFile);

    QTemporaryDir dir;
    const QString parent = dir.filePath(QStringLiteral("folder"));
    if (parentIsFile)
        writeBytes(parent, "not a folder");
    const QString path = parent + QLatin1Char('/') + fileNameOf(Kind(kind));
    QString error;
    QVERIFY(!writeAs(Kind(kind), path, sampleState(dir), &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QCOMPARE(QFileInfo(parent).isFile(), parentIsFile);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             parentIsFile ? QStringList{QStringLiteral("folder")} : QStringList());
}

void TestDataFiles::refusedWriteKeepsEarlierFile_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<AppState>("state");
    QTest::addColumn<QString>("named"); // what the message must name besides the file

    QTemporaryDir dir;
    const AppState sample = sampleState(dir);
    const QString tsuchi = u8("𠮷");

    AppState state = sample;
    state.members[1].department = u8("𠮷野学部");
    QTest::newRow("member with an unencodable faculty") << int(Member) << state << tsuchi;
    state = sample;
    state.couples[1].partners[3].name = u8("𠮷田");
    QTest::newRow("couple with an unencodable partner") << int(Entry) << state << tsuchi;
    state = sample;
    state.universityInfo.comment = u8("𠮷");
    QTest::newRow("entry with an unencodable comment") << int(Entry) << state << tsuchi;
    QTest::newRow("uniinf.dat with an unencodable comment") << int(University) << state << tsuchi;
    state = sample;
    state.universityInfo.head = QString(70000, QLatin1Char('x'));
    QTest::newRow("uniinf.dat with a text too long") << int(University) << state << QStringLiteral("xxxxxxxxxx");

    // A couple that would make a file this program itself refuses to read.
    state = sample;
    state.couples[0].partnerCount = 2;
    QTest::newRow("partnerCount above the lists") << int(Entry) << state << QStringLiteral("101");
    state = sample;
    state.couples[1].partnerDances.removeLast();
    QTest::newRow("one dance text missing") << int(Entry) << state << QStringLiteral("123456");
    state = sample;
    state.couples[0].partners.clear();
    state.couples[0].partnerDances.clear();
    state.couples[0].partnerCount = 0;
    QTest::newRow("no partners") << int(Entry) << state << QStringLiteral("101");
    state = sample;
    state.couples[0].partners << state.couples[1].partners;
    state.couples[0].partnerDances << QStringList(4, QString());
    state.couples[0].partnerCount = 5;
    QTest::newRow("five partners") << int(Entry) << state << QStringLiteral("101");
    state = sample;
    state.couples[1].danceFlags.removeLast();
    QTest::newRow("seven dance flags") << int(Entry) << state << QStringLiteral("123456");

    // Nothing is written that the readers would refuse: beyond the bounds in records or in bytes.
    state = sample;
    state.members = QList<MemberRecord>(kMaxMembers + 1);
    state.memberCount = kMaxMembers + 1;
    QTest::newRow("20,001 members") << int(Member) << state << u8("メンバー 20,001 人あるため");
    state = sample;
    MemberRecord wordy = member(QString(30000, QLatin1Char('x')), QString(30000, QLatin1Char('k')), 1, 0);
    wordy.department = wordy.highschool = wordy.name;
    state.members = QList<MemberRecord>(100, wordy);
    state.memberCount = 100;
    QTest::newRow("a roster beyond the size bound") << int(Member) << state << u8("12,001,104 バイトになる");
    state = sample;
    state.couples = QList<CoupleRecord>(kMaxCouples + 1, sample.couples[0]);
    state.coupleCount = kMaxCouples + 1;
    QTest::newRow("10,001 couples") << int(Entry) << state << u8("カップル 10,001 組あるため");
    state = sample;
    CoupleRecord long4 = sample.couples[1];
    long4.leader.name = QString(30000, QChar(0x821E)); // 60,000 bytes: 36 such couples take over 36 MB
    for (MemberRecord& partner : long4.partners)
        partner.name = partner.kana = partner.highschool = partner.department = long4.leader.name;
    state.couples = QList<CoupleRecord>(36, long4) + QList<CoupleRecord>(kMaxCouples - 36, sample.couples[0]);
    state.coupleCount = kMaxCouples;
    QTest::newRow("an entry beyond the size bound")
        << int(Entry) << state << u8("カップル 10,000 組、35,218,763 バイト");
}

void TestDataFiles::refusedWriteKeepsEarlierFile() {
    QFETCH(int, kind);
    QFETCH(AppState, state);
    QFETCH(QString, named);

    QTemporaryDir dir;
    const QString path = dir.filePath(fileNameOf(Kind(kind)));
    const QByteArray earlier = encodedFile(Kind(kind), sampleState(dir));
    writeBytes(path, earlier);
    QString error;
    QVERIFY(!writeAs(Kind(kind), path, state, &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error.left(300)));
    QVERIFY2(error.contains(named), qPrintable(error.left(300)));
    QCOMPARE(readBytes(path), earlier);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{fileNameOf(Kind(kind))});
}

void TestDataFiles::gameNames_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<qint32>("result");
    QTest::addColumn<QStringList>("names");

    const QStringList untouched = {u8("前の試合")};
    const QString a = QStringLiteral("A");
    const QString b = QStringLiteral("B");
    QTest::newRow("count 2, three names") << QByteArray("2\r\nA\r\nB\r\nC\r\n") << 2 << QStringList{a, b};
    QTest::newRow("count 0") << QByteArray("0\r\nA\r\n") << 0 << untouched;
    QTest::newRow("negative count") << QByteArray("-1\r\nA\r\n") << -1 << untouched;
    QTest::newRow("quoted name with a comma")
        << QByteArray("2\r\n\"Spring, Tokyo\"\r\nB\r\n") << 2 << QStringList{QStringLiteral("Spring, Tokyo"), b};
    QTest::newRow("blanks before a field") << QByteArray("  2\r\n   A\r\n\tB\r\n") << 2 << QStringList{a, b};
    QTest::newRow("lone LF line ends") << QByteArray("2\nA\nB\n") << 2 << QStringList{a, b};
    QTest::newRow("commas on one line") << QByteArray("2,A,B,C") << 2 << QStringList{a, b};
    QTest::newRow("no line end after the last name") << QByteArray("1\r\nA") << 1 << QStringList{a};
    QTest::newRow("Shift-JIS names") << QByteArray("2\r\n" + sjis("春季大会") + "\r\n\"" + sjis("全日本、選手権") +
                                                   "\"\r\n")
                                     << 2 << QStringList{u8("春季大会"), u8("全日本、選手権")};
    // Any Linux editor writes UTF-8; Notepad may put a byte-order mark before it.
    QTest::newRow("UTF-8 names") << (u8("2\n春季大会\n秋の部内戦\n").toUtf8()) << 2
                                 << QStringList{u8("春季大会"), u8("秋の部内戦")};
    QTest::newRow("UTF-8 with a byte-order mark")
        << ("\xEF\xBB\xBF" + u8("1\r\n新人戦\r\n").toUtf8()) << 1 << QStringList{u8("新人戦")};
    // The line with a stray byte gives no name; the others are read as they are.
    QTest::newRow("Shift-JIS with a stray byte")
        << QByteArray("2\r\n" + sjis("春季") + "\x81\r\n" + sjis("秋") + "\r\n") << 1 << QStringList{u8("秋")};
    // Without a count every field is a name.
    QTest::newRow("first field not a number")
        << QByteArray("two\r\nA\r\nB\r\n") << 3 << QStringList{QStringLiteral("two"), a, b};
    QTest::newRow("empty file") << QByteArray() << 0 << untouched;
    QTest::newRow("fewer names than the count") << QByteArray("3\r\nA\r\nB\r\n") << 2 << QStringList{a, b};
    QTest::newRow("count only") << QByteArray("3\r\n") << 0 << QStringList();
}

void TestDataFiles::gameNames() {
    QFETCH(QByteArray, file);
    QFETCH(qint32, result);
    QFETCH(QStringList, names);

    QTemporaryDir dir;
    const QString path = testfiles::stateIn(dir).gameNamesPath();
    writeBytes(path, file);
    QStringList list = {u8("前の試合")};
    QCOMPARE(read_game_names(path, list), result);
    QCOMPARE(list, names);
    QCOMPARE(readBytes(path), file); // only ever read
}

void TestDataFiles::gameNamesMissingFile() {
    QTemporaryDir dir;
    QStringList list = {u8("前の試合")};
    QCOMPARE(read_game_names(testfiles::stateIn(dir).gameNamesPath(), list), 0);
    QCOMPARE(list, QStringList{u8("前の試合")});
}

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
