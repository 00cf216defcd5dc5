// Saving and reading under real faults: a write cut off by a file-size limit, a full disk, a save killed with
// SIGKILL, targets that cannot be created, a year advance over a folder in which one file cannot be replaced,
// data files that are named pipes or devices, a second program on a locked folder, locks left behind that nobody
// can be confirmed to hold, and a lock that cannot be made on a full or read-only disk.
//
// The faults that must hit a whole process (the size limit, the kill, another user) hit a child: this test
// program starts itself again with "--child <mode> ..." and the child does one thing and reports through
// its exit code and standard output.

#include "datafiles.h"
#include "entrycommands.h"
#include "folderlock.h"
#include "savefile.h"
#include "scriptedprompter.h"
#include "testfiles.h"
#include "yearadvance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using testfiles::readBytes;
using testfiles::writeBytes;

namespace {

constexpr int kChildSaved = 0;
constexpr int kChildSaveFailed = 3;
constexpr int kChildUsage = 2;
constexpr uint kOtherUser = 65534; // "nobody" on Debian

enum Kind { Member, Entry, University };

QString fileNameOf(Kind kind) {
    switch (kind) {
    case Member:
        return QStringLiteral("member.dat");
    case University:
        return QStringLiteral("uniinf.dat");
    case Entry:
        break;
    }
    return QString::fromUtf8("春季大会.ent");
}

// Sample data, the same in the test and in the child. `generation` makes an earlier and a later version
// of the same file differ in every record.
QList<MemberRecord> roster(int count, int generation) {
    QList<MemberRecord> members;
    members.reserve(count);
    for (int i = 0; i < count; ++i) {
        MemberRecord m =
            testfiles::member(QString::fromUtf8("部員%1の%2").arg(i).arg(generation),
                              QString::fromUtf8("ぶいん%1").arg(i), quint8(1 + (i + generation) % 4), quint8(i % 2));
        m.highschool = QString::fromUtf8("県立第%1高校").arg(i % 17);
        m.department = QString::fromUtf8("理工学部");
        members.append(m);
    }
    return members;
}

UniversityInfo university(int commentLength, int generation) {
    UniversityInfo info;
    info.university = QString::fromUtf8("蒼嶺大学%1").arg(generation);
    info.head = QString::fromUtf8("部長");
    info.gameName = QString::fromUtf8("秋の部内戦");
    info.comment = QString(commentLength, QChar(0x821E)); // 舞
    return info;
}

QList<CoupleRecord> couples(int count, int generation) {
    const QList<MemberRecord> dancers = roster(count * 3, generation);
    QList<CoupleRecord> list;
    for (int i = 0; i < count; ++i) {
        MemberRecord leader = dancers[3 * i];
        leader.role = 0;
        MemberRecord first = dancers[3 * i + 1];
        MemberRecord second = dancers[3 * i + 2];
        first.role = second.role = 1;
        list.append(testfiles::couple(100 + i, leader, {first, second}, {QStringLiteral("WT"), QStringLiteral("CS")}));
    }
    return list;
}

// The state a child saves: `size` records (members, couples, or comment characters).
AppState sampleState(Kind kind, int size, int generation, const QString& folder) {
    AppState state;
    state.appFolder = folder;
    switch (kind) {
    case Member:
        state.members = roster(size, generation);
        state.memberCount = qint32(size);
        break;
    case Entry:
        state.couples = couples(size, generation);
        state.coupleCount = qint32(size);
        state.universityInfo = university(10, generation);
        break;
    case University:
        state.universityInfo = university(size, generation);
        break;
    }
    return state;
}

bool saveAs(Kind kind, const QString& path, const AppState& state, QString* error) {
    switch (kind) {
    case Member:
        return write_member_file(path, state, error);
    case Entry:
        return write_entry_file(path, state, error);
    case University:
        return write_university_file(path, state.universityInfo, error);
    }
    return false;
}

QByteArray encoded(Kind kind, const AppState& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("encoded"));
    if (!saveAs(kind, path, state, nullptr))
        return {};
    return readBytes(path);
}

QStringList folderContents(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// ---- the child ----

void say(const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    ::write(STDOUT_FILENO, bytes.constData(), size_t(bytes.size()));
}

// write <kind> <folder> <size> <limit>: saves generation 2 of the sample under a file-size limit.
int childWrite(const QStringList& args) {
    if (args.size() != 4)
        return kChildUsage;
    const Kind kind = Kind(args[0].toInt());
    const QString folder = args[1];
    const AppState state = sampleState(kind, args[2].toInt(), 2, folder);
    // With SIGXFSZ ignored, a write beyond the limit fails with EFBIG instead of killing the process:
    // the same as a disk that fills up in the middle of the file.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlim_t limit = args[3].toULongLong();
    const rlimit fileSize{limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &fileSize) != 0)
        return kChildUsage;
    QString error;
    if (saveAs(kind, folder + fileNameOf(kind), state, &error))
        return kChildSaved;
    say(error);
    return kChildSaveFailed;
}

// saveloop <folder> <a> <b>: saves rosters of a and b members in turn until it is killed. After the first
// two saves it prints "ready" and the milliseconds one save took.
int childSaveLoop(const QStringList& args) {
    if (args.size() != 3)
        return kChildUsage;
    const QString path = args[0] + fileNameOf(Member);
    const AppState states[2] = {sampleState(Member, args[1].toInt(), 1, args[0]),
                                sampleState(Member, args[2].toInt(), 2, args[0])};
    QElapsedTimer timer;
    timer.start();
    for (unsigned round = 0;; ++round) {
        QString error;
        if (!write_member_file(path, states[round % 2], &error)) {
            say(error);
            return kChildSaveFailed;
        }
        if (round == 1)
            say(QStringLiteral("ready %1").arg(qMax<qint64>(1, timer.elapsed() / 2)));
    }
}

// read <reader> <path>: reads the file with one of the program's readers; prints "read" or "refused" and the
// reason. A reader that blocks never prints: the test's time bound catches it.
int childRead(const QStringList& args) {
    if (args.size() != 2)
        return kChildUsage;
    const QString& reader = args[0];
    const QString& path = args[1];
    AppState state;
    QString error;
    bool read = false;
    if (reader == QLatin1String("member"))
        read = read_member_file(path, state, &error);
    else if (reader == QLatin1String("university"))
        read = read_university_file(path, state, &error);
    else if (reader == QLatin1String("entry"))
        read = read_entry_file(path, state, &error);
    else if (reader == QLatin1String("couples"))
        read = read_entry_couples(path, state.couples, state.coupleCount, &error);
    else if (reader == QLatin1String("games")) {
        QStringList names;
        read = read_game_names(path, names) > 0;
    }
    say(read ? QStringLiteral("read") : QStringLiteral("refused ") + error);
    return kChildSaved;
}

// lock <folder>: takes the folder's lock, says "locked" and holds it until it is killed.
int childLock(const QStringList& args) {
    if (args.size() != 1)
        return kChildUsage;
    FolderLock lock;
    QString error;
    if (!lock.acquire(args[0], &error)) {
        say(error);
        return kChildSaveFailed;
    }
    say(QStringLiteral("locked"));
    for (;;)
        ::pause();
}

// Answers the lock's takeover question with a line from standard input ("yes" or anything else), after saying
// "asked", so that the test answers two copies at the same moment.
class LineAnswers : public ScriptedPrompter {
public:
    bool askYesNo(const QString& text, Icon icon) override {
        ScriptedPrompter::askYesNo(text, icon);
        say(QStringLiteral("asked"));
        return readLine() == "yes";
    }
    static QByteArray readLine() {
        QByteArray line;
        char c = 0;
        while (::read(STDIN_FILENO, &c, 1) == 1 && c != '\n')
            line.append(c);
        return line;
    }
};

// takeover <folder>: takes the folder's lock as the program does at its start, then says "locked" or "refused"
// and the message, and holds what it has until its standard input closes; it then ends normally.
int childTakeOver(const QStringList& args) {
    if (args.size() != 1)
        return kChildUsage;
    LineAnswers prompter;
    FolderLock lock;
    const bool locked = lock.acquire(args[0], prompter);
    say(locked ? QStringLiteral("locked") : QStringLiteral("refused ") + prompter.messages().join(QLatin1Char(' ')));
    while (!LineAnswers::readLine().isEmpty()) {
    }
    return locked ? kChildSaved : kChildSaveFailed;
}

// advance <folder>: the year advance command over the folder, confirmed; prints what it showed.
int childAdvance(const QStringList& args) {
    if (args.size() != 1)
        return kChildUsage;
    AppState state;
    state.appFolder = args[0];
    QString error;
    if (!read_member_file(state.memberFilePath(), state, &error) ||
        !read_university_file(state.universityFilePath(), state, &error)) {
        say(error);
        return kChildUsage;
    }
    ScriptedPrompter prompter;
    prompter.setNextAnswer(true);
    prompter.setNextAnswer(true);
    const bool advanced = command_year_advance(state, prompter, {});
    say(prompter.messages().join(QLatin1Char('\n')));
    return advanced ? kChildSaved : kChildSaveFailed;
}

int runChild(int argc, char** argv) {
    QStringList args;
    for (int i = 3; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QByteArray mode = argv[2];
    if (mode == "write")
        return childWrite(args);
    if (mode == "saveloop")
        return childSaveLoop(args);
    if (mode == "advance")
        return childAdvance(args);
    if (mode == "read")
        return childRead(args);
    if (mode == "lock")
        return childLock(args);
    if (mode == "takeover")
        return childTakeOver(args);
    return kChildUsage;
}

// ---- the test side ----

struct ChildResult {
    int exitCode = -1; // -1: did not finish normally
    QString output;
};

// Starts a child and waits for it; the output is its standard output as UTF-8.
ChildResult run(QProcess& process, const QString& program, const QStringList& arguments, int timeLimit = 120000) {
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    ChildResult result;
    if (!process.waitForStarted(30000) || !process.waitForFinished(timeLimit)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    return result;
}

QString childProgram() {
    return QCoreApplication::applicationFilePath();
}

QStringList childArguments(const QString& mode, const QStringList& args) {
    return QStringList{QStringLiteral("--child"), mode} + args;
}

constexpr QFile::Permissions kOpenFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void cutOffWriteKeepsEarlierFile_data();
    void cutOffWriteKeepsEarlierFile();
    void killedSaveLeavesOldOrNew();
    void uncreatableTargetChangesNothing_data();
    void uncreatableTargetChangesNothing();
    void yearAdvanceReportsUnreplaceableFile();
    void fullDiskKeepsEarlierFile();
    void pipesAndDevicesNeverBlock_data();
    void pipesAndDevicesNeverBlock();
    void safeSaveKeepsWhatItReplaces_data();
    void safeSaveKeepsWhatItReplaces();
    void secondProgramOnALockedFolder();
    void leftoverLockRace();
    void leftoverLockAsksFirst_data();
    void leftoverLockAsksFirst();
    void lockOnAFullOrReadOnlyDisk_data();
    void lockOnAFullOrReadOnlyDisk();
};

void TestFaults::cutOffWriteKeepsEarlierFile_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("size");
    QTest::addColumn<qint64>("limit"); // -1: half the new file, -2: one byte short of it

    // Small files go through the device's write buffer and fail only when it is flushed; large ones
    // (above 16 KiB) are written straight through. Both paths are cut off at the start, in the middle
    // and at the last byte.
    struct Size {
        const char* name;
        int kind;
        int size;
    };
    const Size sizes[] = {
        {"member.dat, 20 members", Member, 20},
        {"member.dat, 5000 members", Member, 5000},
        {"entry, 2 couples", Entry, 2},
        {"entry, 500 couples", Entry, 500},
        {"uniinf.dat, short comment", University, 10},
        {"uniinf.dat, 30000-character comment", University, 30000},
    };
    for (const Size& s : sizes) {
        QTest::addRow("%s, nothing fits", s.name) << s.kind << s.size << qint64(0);
        QTest::addRow("%s, half fits", s.name) << s.kind << s.size << qint64(-1);
        QTest::addRow("%s, one byte short", s.name) << s.kind << s.size << qint64(-2);
    }
    QTest::newRow("member.dat, 5000 members, 16 KiB fit") << int(Member) << 5000 << qint64(16384);
}

void TestFaults::cutOffWriteKeepsEarlierFile() {
    QFETCH(int, kind);
    QFETCH(int, size);
    QFETCH(qint64, limit);

    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    const QString path = folder + fileNameOf(Kind(kind));
    const QByteArray earlier = encoded(Kind(kind), sampleState(Kind(kind), 7, 1, folder));
    const QByteArray later = encoded(Kind(kind), sampleState(Kind(kind), size, 2, folder));
    QVERIFY(!earlier.isEmpty() && later.size() > 1);
    writeBytes(path, earlier);
    if (limit == -1)
        limit = later.size() / 2;
    else if (limit == -2)
        limit = later.size() - 1;
    QVERIFY(limit < later.size());

    QProcess process;
    const ChildResult result =
        run(process, childProgram(),
            childArguments(QStringLiteral("write"),
                           {QString::number(kind), folder, QString::number(size), QString::number(limit)}));
    QVERIFY2(
        result.exitCode == kChildSaveFailed,
        qPrintable(QStringLiteral("exit code %1, file now %2 bytes").arg(result.exitCode).arg(QFileInfo(path).size())));
    QVERIFY2(result.output.contains(QDir::toNativeSeparators(path)), qPrintable(result.output));
    QVERIFY2(result.output.contains(QStringLiteral("保存できませんでした")), qPrintable(result.output));
    QCOMPARE(readBytes(path), earlier);
    QCOMPARE(folderContents(folder), QStringList{fileNameOf(Kind(kind))});
}

void TestFaults::killedSaveLeavesOldOrNew() {
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    const QString path = folder + fileNameOf(Member);
    const int sizes[2] = {1500, 2000};
    const QByteArray versions[2] = {encoded(Member, sampleState(Member, sizes[0], 1, folder)),
                                    encoded(Member, sampleState(Member, sizes[1], 2, folder))};
    writeBytes(path, versions[1]);

    int seen[2] = {0, 0};
    constexpr int kRounds = 12;
    for (int round = 0; round < kRounds; ++round) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(childProgram(), childArguments(QStringLiteral("saveloop"),
                                                     {folder, QString::number(sizes[0]), QString::number(sizes[1])}));
        QVERIFY(process.waitForStarted(30000));
        QVERIFY2(process.waitForReadyRead(60000), "the child never finished its first saves");
        const QList<QByteArray> ready = process.readLine().trimmed().split(' ');
        QCOMPARE(ready.value(0), QByteArray("ready"));
        // Spread the kills over two save cycles (open, write, flush, sync and rename of each version).
        const int oneSave = ready.value(1).toInt();
        QTest::qSleep(1 + (round * 4 * oneSave) / kRounds);
        process.kill(); // SIGKILL
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);

        const QByteArray now = readBytes(path);
        QVERIFY2(now == versions[0] || now == versions[1],
                 qPrintable(QStringLiteral("round %1: %2 bytes, neither version").arg(round).arg(now.size())));
        ++seen[now == versions[0] ? 0 : 1];
    }
    qInfo("after %d kills: %d times the first roster, %d times the second", kRounds, seen[0], seen[1]);

    // Whatever a killed save left behind must not stand in the way of the next one.
    const QStringList leftovers = folderContents(folder);
    qInfo("folder after the kills: %s", qPrintable(leftovers.join(QStringLiteral(", "))));
    // Nothing a killed save leaves can be taken for data: it is hidden, of the program's own, and holds no ".ent".
    for (const QString& name : leftovers)
        QVERIFY2(name == fileNameOf(Member) || name.startsWith(save_temporary_prefix()), qPrintable(name));
    const AppState next = sampleState(Member, 5, 3, folder);
    QString error;
    QVERIFY2(write_member_file(path, next, &error), qPrintable(error));
    AppState read;
    QVERIFY2(read_member_file(path, read, &error), qPrintable(error));
    QCOMPARE(read.members, next.members);
    QCOMPARE(read.memberCount, next.memberCount);
}

void TestFaults::uncreatableTargetChangesNothing_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("folderIsFile");
    const char* const commands[] = {"member save", "entry save", "entry save under a new name", "save prompt"};
    for (int command = 0; command < 4; ++command) {
        QTest::addRow("%s, folder is a file", commands[command]) << command << true;
        QTest::addRow("%s, missing folder", commands[command]) << command << false;
    }
}

// The commands report a target that cannot be created and leave the state as it was: flags still set,
// the entry still under its old name.
void TestFaults::uncreatableTargetChangesNothing() {
    QFETCH(int, command);
    QFETCH(bool, folderIsFile);

    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("data"));
    if (folderIsFile)
        writeBytes(blocker, "a file where the folder should be");
    AppState state = sampleState(Member, 3, 1, blocker + QLatin1Char('/'));
    state.couples = couples(2, 1);
    state.coupleCount = 2;
    state.entryFileName = QStringLiteral("old.ent");
    state.membersChanged = true;
    state.entryChanged = true;
    const AppState before = state;

    ScriptedPrompter prompter;
    bool result = true;
    QString target;
    switch (command) {
    case 0:
        result = command_save_members(state, prompter);
        target = state.memberFilePath();
        break;
    case 1:
        result = command_save_entry(state, prompter);
        target = state.entryFilePath();
        break;
    case 2:
        prompter.setNextInput(QStringLiteral("new"));
        result = command_save_entry_as(state, prompter);
        target = state.appFolder + QStringLiteral("new.ent");
        break;
    case 3:
        prompter.setNextAnswer(true); // save the members
        prompter.setNextAnswer(true); // save the entry
        result = ask_save_changes(state, false, prompter);
        target = state.memberFilePath();
        break;
    }
    QVERIFY(!result);
    QCOMPARE(state, before);
    QVERIFY(!prompter.messages().isEmpty());
    const QString message = prompter.messages().first();
    QVERIFY2(message.contains(QDir::toNativeSeparators(target)), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("保存できませんでした")), qPrintable(message));
    QCOMPARE(QFileInfo(blocker).isFile(), folderIsFile);
    QCOMPARE(folderContents(dir.path()), folderIsFile ? QStringList{QStringLiteral("data")} : QStringList());
}

// One entry file of the folder belongs to another user and cannot be replaced, so the advance stops half-way:
// what was written before stays advanced, the rest stays as it was, and the backup made before the first write
// holds every file as it was, byte for byte. As root, permission bits stop nothing, so the child runs as
// "nobody" through setpriv and the file stays root's; as any other user the file is simply made read-only.
void TestFaults::yearAdvanceReportsUnreplaceableFile() {
    const bool asRoot = geteuid() == 0;
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (asRoot && setpriv.isEmpty())
        QSKIP("running as root without setpriv (util-linux): cannot run the advance as another user");

    QTemporaryDir dir;
    QTemporaryDir binDir;
    const QString folder = dir.path() + QLatin1Char('/');
    AppState state = sampleState(Member, 8, 1, folder);
    state.universityInfo = university(5, 1);
    QString error;
    QVERIFY2(write_member_file(state.memberFilePath(), state, &error), qPrintable(error));
    QVERIFY2(write_university_file(state.universityFilePath(), state.universityInfo, &error), qPrintable(error));
    const QStringList names = {QStringLiteral("a.ent"), QStringLiteral("b.ent"), QStringLiteral("c.ent")};
    QMap<QString, QByteArray> before;
    for (const QString& name : names) {
        QVERIFY2(write_entry_couples(folder + name, couples(6, 1), 6, state.universityInfo, &error), qPrintable(error));
        before[name] = readBytes(folder + name);
    }
    before[QStringLiteral("member.dat")] = readBytes(state.memberFilePath());
    const QString locked = folder + QStringLiteral("b.ent");

    QProcess process;
    QString program = childProgram();
    QStringList arguments = childArguments(QStringLiteral("advance"), {folder});
    if (asRoot) {
        // The data folder and everything in it but b.ent, and a copy of this program, belong to "nobody".
        const QString copy = binDir.filePath(QStringLiteral("child"));
        QVERIFY(QFile::copy(childProgram(), copy));
        for (const QString& path : {dir.path(), state.memberFilePath(), state.universityFilePath(),
                                    folder + QStringLiteral("a.ent"), folder + QStringLiteral("c.ent")})
            QVERIFY2(::chown(QFile::encodeName(path).constData(), kOtherUser, kOtherUser) == 0, qPrintable(path));
        QVERIFY(QFile::setPermissions(dir.path(), kOpenFolder));
        QVERIFY(QFile::setPermissions(binDir.path(), kOpenFolder));
        arguments =
            QStringList{QStringLiteral("--reuid=%1").arg(kOtherUser), QStringLiteral("--regid=%1").arg(kOtherUser),
                        QStringLiteral("--clear-groups"), QStringLiteral("--"), copy} +
            arguments;
        program = setpriv;
        // The leak checker's suppression file may lie where "nobody" cannot read it.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LSAN_OPTIONS"));
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
    } else {
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }

    const ChildResult result = run(process, program, arguments);
    QVERIFY2(result.exitCode == kChildSaved,
             qPrintable(QStringLiteral("exit code %1: %2").arg(result.exitCode).arg(result.output)));
    QVERIFY2(result.output.startsWith(QStringLiteral("学年を１つあげる途中で保存できなくなったため、止めました。")),
             qPrintable(result.output));
    QVERIFY2(result.output.contains(QDir::toNativeSeparators(locked)), qPrintable(result.output));
    // The files are written in name order: member.dat and a.ent before the failure, c.ent not any more.
    QCOMPARE(readBytes(locked), before[QStringLiteral("b.ent")]);
    QCOMPARE(readBytes(folder + QStringLiteral("c.ent")), before[QStringLiteral("c.ent")]);
    QList<CoupleRecord> list;
    qint32 count = 0;
    QVERIFY2(read_entry_couples(folder + QStringLiteral("a.ent"), list, count, &error), qPrintable(error));
    // Couples with a fourth-year dancer left (all but the second and the last); the rest are a year on.
    const QList<CoupleRecord> earlier = couples(6, 1);
    QCOMPARE(count, 2);
    for (int i : {0, 1}) {
        const CoupleRecord& was = earlier[i == 0 ? 1 : 5];
        QCOMPARE(list[i].backNumber, was.backNumber);
        QCOMPARE(list[i].leader.year, quint8(was.leader.year + 1));
        QCOMPARE(list[i].partners[1].year, quint8(was.partners[1].year + 1));
    }
    AppState advanced;
    QVERIFY2(read_member_file(state.memberFilePath(), advanced, &error), qPrintable(error));
    QCOMPARE(advanced.memberCount, 6); // two of the eight were in their fourth year

    // The backup named in the message restores every file byte for byte.
    const QStringList backups = QDir(folder + QStringLiteral("backup")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(backups.size(), 1);
    const QString backup = folder + QStringLiteral("backup/") + backups.first();
    QVERIFY2(result.output.contains(QDir::toNativeSeparators(backup)), qPrintable(result.output));
    QCOMPARE(folderContents(backup), QStringList(before.keys()));
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(readBytes(backup + QLatin1Char('/') + it.key()), it.value());
    QCOMPARE(folderContents(folder),
             QStringList({QStringLiteral("a.ent"), QStringLiteral("b.ent"), QStringLiteral("backup"),
                          QStringLiteral("c.ent"), QStringLiteral("member.dat"), QStringLiteral("uniinf.dat")}));
}

// A real full disk: a small tmpfs filled to the last byte (as root; elsewhere, or where mounting is not allowed,
// the test says so and skips). The save fails with the Japanese reason and the earlier file stays as it was.
void TestFaults::fullDiskKeepsEarlierFile() {
    if (geteuid() != 0)
        QSKIP("mounting a small tmpfs needs root");
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs here: %1").arg(qt_error_string(errno))));
    const auto unmount = qScopeGuard([&mountPoint] { ::umount(mountPoint.constData()); });
    const QString folder = dir.path() + QLatin1Char('/');
    const AppState earlier = sampleState(Member, 5, 1, folder);
    QString error;
    QVERIFY2(write_member_file(earlier.memberFilePath(), earlier, &error), qPrintable(error));
    const QByteArray before = readBytes(earlier.memberFilePath());
    // Fill what is left of the disk.
    QFile filler(folder + QStringLiteral("filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();
    const AppState later = sampleState(Member, 400, 2, folder);
    QVERIFY(!write_member_file(later.memberFilePath(), later, &error));
    QVERIFY2(error.contains(QStringLiteral("ディスクの空きが足りません")), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("member.dat")), qPrintable(error));
    QCOMPARE(readBytes(earlier.memberFilePath()), before);
}

// A named pipe or a link to /dev/zero where a data file should be: every reader refuses it at once, within a
// time bound, instead of waiting for a writer or reading without end.
void TestFaults::pipesAndDevicesNeverBlock_data() {
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("pipe"); // false: a link to /dev/zero
    for (const bool pipe : {true, false}) {
        const char* what = pipe ? "pipe" : "/dev/zero";
        QTest::addRow("member.dat, %s", what) << QStringLiteral("member") << QStringLiteral("member.dat") << pipe;
        QTest::addRow("uniinf.dat, %s", what) << QStringLiteral("university") << QStringLiteral("uniinf.dat") << pipe;
        QTest::addRow("entry file, %s", what) << QStringLiteral("entry") << QStringLiteral("x.ent") << pipe;
        QTest::addRow("year advance's reader, %s", what)
            << QStringLiteral("couples") << QStringLiteral("x.ent") << pipe;
        QTest::addRow("Gamename.txt, %s", what) << QStringLiteral("games") << QStringLiteral("Gamename.txt") << pipe;
    }
}

void TestFaults::pipesAndDevicesNeverBlock() {
    QFETCH(QString, reader);
    QFETCH(QString, name);
    QFETCH(bool, pipe);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (pipe)
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    QProcess process;
    const ChildResult result =
        run(process, childProgram(), childArguments(QStringLiteral("read"), {reader, path}), 10000);
    QVERIFY2(result.exitCode == kChildSaved, "the reader blocked or crashed");
    QVERIFY2(result.output.startsWith(QStringLiteral("refused")), qPrintable(result.output));
    if (reader != QLatin1String("games"))
        QVERIFY2(result.output.contains(QStringLiteral("通常のファイルではありません")), qPrintable(result.output));
}

// The safe save replaces a file's bytes and nothing else: the file keeps its permissions, a link stays a link and
// its file gets the bytes, and nothing is left beside them.
void TestFaults::safeSaveKeepsWhatItReplaces_data() {
    QTest::addColumn<bool>("throughLink");
    QTest::newRow("file of its own permissions") << false;
    QTest::newRow("through a symbolic link") << true;
}

void TestFaults::safeSaveKeepsWhatItReplaces() {
    QFETCH(bool, throughLink);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("kept.ent"));
    const QString saved = throughLink ? dir.filePath(QStringLiteral("link.ent")) : file;
    writeBytes(file, "old");
    const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(file, permissions));
    if (throughLink)
        QVERIFY(QFile::link(QStringLiteral("kept.ent"), saved));
    QString error;
    QVERIFY2(write_file_whole(saved, "new bytes", &error), qPrintable(error));
    QCOMPARE(readBytes(file), QByteArray("new bytes"));
    QCOMPARE(QFileInfo(file).permissions() & ~QFile::Permissions(QFile::ReadUser | QFile::WriteUser), permissions);
    QCOMPARE(QFileInfo(saved).isSymLink(), throughLink);
    QCOMPARE(folderContents(dir.path()).size(), throughLink ? 2 : 1);
}

// Another program holds the folder: this one may not take it. Once that program is gone without releasing the
// lock (killed), its lock is stale and is taken over. The lock file is hidden and never looks like data.
void TestFaults::secondProgramOnALockedFolder() {
    QTemporaryDir dir;
    QProcess holder;
    holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    holder.start(childProgram(), childArguments(QStringLiteral("lock"), {dir.path()}));
    QVERIFY(holder.waitForReadyRead(30000));
    QCOMPARE(QString::fromUtf8(holder.readAllStandardOutput()).trimmed(), QStringLiteral("locked"));
    const QString lockName = FolderLock::fileName();
    QVERIFY(lockName.startsWith(QLatin1Char('.')) && !is_entry_file_name(lockName));

    FolderLock second;
    QString error;
    QVERIFY(!second.acquire(dir.path(), &error));
    QVERIFY2(error.contains(QStringLiteral("ほかの DanceEntry のウィンドウで開かれています")), qPrintable(error));
    QVERIFY(!second.isLocked());

    holder.kill(); // a crash: the lock file stays behind
    QVERIFY(holder.waitForFinished(30000));
    QVERIFY(QFileInfo::exists(dir.filePath(lockName)));
    QVERIFY2(second.acquire(dir.path(), &error), qPrintable(error));
    QVERIFY(second.isLocked());
}

// Two copies find the same leftover lock and are both answered Yes at the same moment: one opens the folder, the
// other is told that it is open in another window. Neither removes a lock that is not its own: the winner's lock
// stays when the loser ends, and a lock put in place of the winner's stays when the winner ends.
void TestFaults::leftoverLockRace() {
    QTemporaryDir dir;
    const QString path = dir.filePath(FolderLock::fileName());
    for (int round = 0; round < 4; ++round) {
        writeBytes(path, QByteArray());
        QProcess copies[2];
        for (QProcess& copy : copies) {
            copy.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            copy.start(childProgram(), childArguments(QStringLiteral("takeover"), {dir.path()}));
        }
        for (QProcess& copy : copies) {
            QVERIFY(copy.waitForReadyRead(30000));
            QCOMPARE(copy.readLine().trimmed(), QByteArray("asked"));
        }
        for (QProcess& copy : copies)
            copy.write("yes\n");
        for (QProcess& copy : copies)
            QVERIFY(copy.waitForBytesWritten(30000));
        QString said[2];
        for (int i = 0; i < 2; ++i) {
            QVERIFY(copies[i].canReadLine() || copies[i].waitForReadyRead(30000));
            said[i] = QString::fromUtf8(copies[i].readAll()).trimmed();
        }
        QVERIFY2((said[0] == QLatin1String("locked")) != (said[1] == QLatin1String("locked")),
                 qPrintable(said[0] + QLatin1Char('|') + said[1]));
        const int winner = said[0] == QLatin1String("locked") ? 0 : 1;
        QProcess& loser = copies[1 - winner];
        QVERIFY2(said[1 - winner].contains(QStringLiteral("ほかの DanceEntry のウィンドウで開かれています")),
                 qPrintable(said[1 - winner]));
        const QByteArray winnersLock = readBytes(path);
        QVERIFY(winnersLock.startsWith(QByteArray::number(copies[winner].processId()) + '\n'));

        loser.closeWriteChannel();
        QVERIFY(loser.waitForFinished(30000));
        QCOMPARE(loser.exitCode(), kChildSaveFailed);
        QCOMPARE(readBytes(path), winnersLock);
        QCOMPARE(folderContents(dir.path()), QStringList{FolderLock::fileName()});

        // A third copy took the folder over (as after a crash): the winner's ending leaves that lock alone.
        QVERIFY(QFile::remove(path));
        writeBytes(path, "4242\ndanceentry\nclub-laptop\n");
        copies[winner].closeWriteChannel();
        QVERIFY(copies[winner].waitForFinished(30000));
        QCOMPARE(copies[winner].exitCode(), kChildSaved);
        QCOMPARE(readBytes(path), QByteArray("4242\ndanceentry\nclub-laptop\n"));
        QCOMPARE(folderContents(dir.path()), QStringList{FolderLock::fileName()});
    }
}

// A lock nobody can be confirmed to hold is taken over only when the user says Yes to a question that names it,
// the computer and the time it records; No ends the start and leaves it as it was. A folder in its place cannot
// be taken over and is named without a question.
void TestFaults::leftoverLockAsksFirst_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("yes");
    for (const char* kind : {"zero bytes", "another computer", "unreadable", "dangling link", "pipe", "folder"}) {
        QTest::addRow("%s, yes", kind) << QString::fromLatin1(kind) << true;
        QTest::addRow("%s, no", kind) << QString::fromLatin1(kind) << false;
    }
}

void TestFaults::leftoverLockAsksFirst() {
    QFETCH(QString, kind);
    QFETCH(bool, yes);
    QTemporaryDir dir;
    const QString path = dir.filePath(FolderLock::fileName());
    const QByteArray native = QFile::encodeName(path);
    if (kind == QLatin1String("zero bytes"))
        writeBytes(path, QByteArray());
    else if (kind == QLatin1String("another computer"))
        writeBytes(path, "4242\ndanceentry\nclub-laptop\n");
    else if (kind == QLatin1String("unreadable")) {
        writeBytes(path, "\xff\xfe not a lock");
        QVERIFY(QFile::setPermissions(path, {}));
    } else if (kind == QLatin1String("dangling link"))
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), path));
    else if (kind == QLatin1String("pipe"))
        QCOMPARE(::mkfifo(native.constData(), 0600), 0);
    else
        QVERIFY(QDir(dir.path()).mkdir(FolderLock::fileName()));
    // A known time, which the question shows.
    const QDateTime made(QDate(2024, 3, 1), QTime(9, 30));
    const timespec times[2] = {{made.toSecsSinceEpoch(), 0}, {made.toSecsSinceEpoch(), 0}};
    QCOMPARE(::utimensat(AT_FDCWD, native.constData(), times, AT_SYMLINK_NOFOLLOW), 0);
    struct stat before {};
    QCOMPARE(::lstat(native.constData(), &before), 0);

    ScriptedPrompter prompter;
    prompter.setNextAnswer(yes);
    FolderLock lock;
    const bool folder = kind == QLatin1String("folder");
    QCOMPARE(lock.acquire(dir.path(), prompter), yes && !folder);
    QCOMPARE(lock.isLocked(), yes && !folder);
    if (folder) {
        QVERIFY(prompter.questions().isEmpty());
        QCOMPARE(prompter.messages().size(), 1);
        QVERIFY(prompter.messages().first().contains(FolderLock::fileName()));
        QVERIFY(QFileInfo(path).isDir());
        return;
    }
    QCOMPARE(prompter.questions().size(), 1);
    const QString question = prompter.questions().first();
    for (const QString& part :
         {FolderLock::fileName(), QStringLiteral("2024/03/01 09:30"),
          QStringLiteral("ほかのウィンドウやほかのコンピュータでこのフォルダを使っていないときに限り")})
        QVERIFY2(question.contains(part), qPrintable(question));
    if (kind == QLatin1String("another computer"))
        QVERIFY2(question.contains(QStringLiteral("club-laptop")), qPrintable(question));
    QVERIFY(prompter.messages().isEmpty());
    struct stat after {};
    QCOMPARE(::lstat(native.constData(), &after), 0);
    if (yes) {
        QVERIFY(S_ISREG(after.st_mode) && after.st_size > 0); // the lock of this program now
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("gone"))));
    } else {
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_size, before.st_size);
    }
}

// On a full disk the lock cannot be made, and on a read-only one a leftover lock cannot be taken over: either is
// said with its reason and the lock's name, without a question (a small tmpfs, as root; skipped elsewhere).
void TestFaults::lockOnAFullOrReadOnlyDisk_data() {
    QTest::addColumn<bool>("full");
    QTest::addColumn<QString>("reason");
    QTest::newRow("full disk") << true << QStringLiteral("ディスクの空きが足りません");
    QTest::newRow("read-only, leftover lock") << false << QStringLiteral("読み取り専用");
}

void TestFaults::lockOnAFullOrReadOnlyDisk() {
    QFETCH(bool, full);
    QFETCH(QString, reason);
    if (geteuid() != 0)
        QSKIP("mounting a small tmpfs needs root");
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs here: %1").arg(qt_error_string(errno))));
    const auto unmount = qScopeGuard([&mountPoint] { ::umount(mountPoint.constData()); });
    if (full) {
        QFile filler(dir.filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    } else {
        writeBytes(dir.filePath(FolderLock::fileName()), QByteArray());
        QCOMPARE(::mount("tmpfs", mountPoint.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"), 0);
    }
    ScriptedPrompter prompter;
    prompter.defaultAnswer = true;
    FolderLock lock;
    QVERIFY(!lock.acquire(dir.path(), prompter));
    QVERIFY(prompter.questions().isEmpty());
    QCOMPARE(prompter.messages().size(), 1);
    const QString message = prompter.messages().first();
    QVERIFY2(message.contains(reason) && message.contains(FolderLock::fileName()), qPrintable(message));
    QCOMPARE(folderContents(dir.path()),
             full ? QStringList{QStringLiteral("filler")} : QStringList{FolderLock::fileName()});
}

int main(int argc, char** argv) {
    if (argc >= 3 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);
    QCoreApplication app(argc, argv);
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
