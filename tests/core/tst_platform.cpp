// What the program promises about its files on every system it runs on (Linux here, Windows under Wine): a save
// leaves the old file or the new one, never a mix, however it ends; the folder lock keeps a second copy out and
// is taken over once its program is gone; a file is recognised through a second name; a pipe or device is
// refused without waiting for it.

#include "exporttarget.h"
#include "folderlock.h"
#include "platform.h"
#include "savefile.h"
#include "testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using testfiles::readBytes;
using testfiles::writeBytes;

namespace {

// The child that saves one file over and over until it is killed: the name of the file, as environment.
const char kSaveLoopVariable[] = "DANCEENTRY_TEST_SAVE_LOOP";

QByteArray filled(char letter) {
    return QByteArray(4 * 1024 * 1024, letter); // large enough for the kill to fall inside a save
}

// A process number that belonged to a program of this computer that has ended.
qint64 endedProcessId() {
    QProcess child;
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments({QStringLiteral("-functions")});
    child.start();
    child.waitForFinished(30000);
    return child.processId() > 0 ? child.processId() : 999999;
}

enum class Promise {
    SaveReplacesWhole,
    FailedSaveLeavesOld,
    KilledSaveLeavesOldOrNew,
    LockKeepsSecondCopyOut,
    StaleLockTakenOver,
    IdentityThroughSecondName,
    CopyIsAnotherFile,
    DeviceRefused,
    PipeRefused,
};

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void promises_data();
    void promises();

private:
    void check(Promise promise, const QString& folder);
};

void TestPlatform::promises_data() {
    QTest::addColumn<Promise>("promise");
    QTest::newRow("a save replaces the file whole and leaves nothing beside it") << Promise::SaveReplacesWhole;
    QTest::newRow("a failed save leaves the old file and says why") << Promise::FailedSaveLeavesOld;
    QTest::newRow("a killed save leaves the old or the new file") << Promise::KilledSaveLeavesOldOrNew;
    QTest::newRow("a held lock keeps a second copy out") << Promise::LockKeepsSecondCopyOut;
    QTest::newRow("a lock of an ended program is taken over") << Promise::StaleLockTakenOver;
    QTest::newRow("a second name is the same file") << Promise::IdentityThroughSecondName;
    QTest::newRow("a copy is another file") << Promise::CopyIsAnotherFile;
    QTest::newRow("a device is refused") << Promise::DeviceRefused;
    QTest::newRow("a pipe is refused without waiting") << Promise::PipeRefused;
}

void TestPlatform::promises() {
    QFETCH(Promise, promise);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    check(promise, dir.path());
}

void TestPlatform::check(Promise promise, const QString& folder) {
    const QString file = folder + QString::fromUtf8("/春季大会.ent");
    QString error;
    switch (promise) {
    case Promise::SaveReplacesWhole: {
        writeBytes(file, "old");
        QVERIFY2(write_file_whole(file, "new bytes", &error), qPrintable(error));
        QCOMPARE(readBytes(file), QByteArray("new bytes"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(file).fileName()});
        break;
    }
    case Promise::FailedSaveLeavesOld: {
        const QString inMissingFolder = folder + QStringLiteral("/missing/member.dat");
        QVERIFY(!write_file_whole(inMissingFolder, "new", &error));
        QVERIFY2(error.contains(QStringLiteral("見つかりません")), qPrintable(error));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/member.dat")));
        QVERIFY(!write_file_whole(folder + QStringLiteral("/member.dat"), "new", &error));
        QVERIFY2(error.contains(QStringLiteral("同じ名前のフォルダ")), qPrintable(error));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
        break;
    }
    case Promise::KilledSaveLeavesOldOrNew: {
        writeBytes(file, filled('A'));
        QProcess saver;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(kSaveLoopVariable), file);
        saver.setProcessEnvironment(environment);
        saver.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(saver.waitForStarted());
        QThread::msleep(700);
        saver.kill();
        QVERIFY(saver.waitForFinished());
        const QByteArray left = readBytes(file);
        QVERIFY2(left == filled('A') || left == filled('B'), "the file holds a mix of the old and the new bytes");
        // What the killed save may leave beside it is hidden and never taken for an entry file.
        for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
            if (name != QFileInfo(file).fileName())
                QVERIFY2(name.startsWith(save_temporary_prefix()) && !name.contains(QStringLiteral(".ent")),
                         qPrintable(name));
        }
        break;
    }
    case Promise::LockKeepsSecondCopyOut: {
        FolderLock first;
        QVERIFY2(first.acquire(folder, &error), qPrintable(error));
        FolderLock second;
        QVERIFY(!second.acquire(folder, &error));
        QVERIFY2(error.contains(QStringLiteral("ほかの DanceEntry のウィンドウで開かれています")), qPrintable(error));
        first.release();
        QVERIFY2(second.acquire(folder, &error), qPrintable(error));
        break;
    }
    case Promise::StaleLockTakenOver: {
        const QString lockPath = QDir(folder).filePath(FolderLock::fileName());
        {
            platform::LockFile left; // the lock of a program that ended without removing it
            QCOMPARE(left.create(lockPath, QByteArray::number(endedProcessId()) + "\nDanceEntry\n" +
                                               QSysInfo::machineHostName().toUtf8() + "\n\n"),
                     0);
            QVERIFY(platform::lock_held(lockPath));
        }
        QVERIFY(!platform::lock_held(lockPath));
        FolderLock lock;
        QVERIFY2(lock.acquire(folder, &error), qPrintable(error));
        lock.release();
        QVERIFY(!QFileInfo::exists(lockPath));
        break;
    }
    case Promise::IdentityThroughSecondName: {
        writeBytes(file, "data");
        const QString second = folder + QStringLiteral("/second-name.ent");
        QCOMPARE(platform::hard_link(file, second), 0);
        QVERIFY(same_existing_file(file, second));
        QVERIFY(same_existing_file(file, folder + QStringLiteral("/./") + QFileInfo(file).fileName()));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/sub")));
        QCOMPARE(platform::real_path(folder + QStringLiteral("/sub/..")), platform::real_path(folder));
        break;
    }
    case Promise::CopyIsAnotherFile: {
        writeBytes(file, "data");
        const QString copy = folder + QStringLiteral("/copy.ent");
        QVERIFY(QFile::copy(file, copy));
        QVERIFY(!same_existing_file(file, copy));
        QVERIFY(!same_existing_file(file, folder + QStringLiteral("/missing.ent")));
        break;
    }
    case Promise::DeviceRefused: {
#ifdef Q_OS_WIN
        const QString device = QStringLiteral("NUL");
#else
        const QString device = QStringLiteral("/dev/null");
#endif
        QCOMPARE(read_existing_file(device, 1024, nullptr, &error), FileRead::Failed);
        QVERIFY2(error.contains(QStringLiteral("通常のファイルではありません")), qPrintable(error));
        break;
    }
    case Promise::PipeRefused: {
#ifdef Q_OS_WIN
        const QString pipe = QStringLiteral("\\\\.\\pipe\\danceentry-test-%1").arg(QCoreApplication::applicationPid());
        const HANDLE server = CreateNamedPipeW(reinterpret_cast<const wchar_t*>(pipe.utf16()), PIPE_ACCESS_DUPLEX,
                                               PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
        QVERIFY(server != INVALID_HANDLE_VALUE);
        const auto closeServer = qScopeGuard([server] { CloseHandle(server); });
#else
        const QString pipe = folder + QStringLiteral("/member.dat");
        if (QProcess::execute(QStringLiteral("mkfifo"), {pipe}) != 0)
            QSKIP("mkfifo is not there");
#endif
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(read_existing_file(pipe, 1024, nullptr, &error), FileRead::Failed);
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY2(!error.isEmpty(), "no message");
        break;
    }
    }
}

// The child of the killed-save row: saves the file over and over, alternating its bytes, until it is killed.
int main(int argc, char* argv[]) {
    const QString loopFile = qEnvironmentVariable(kSaveLoopVariable);
    if (!loopFile.isEmpty()) {
        QCoreApplication application(argc, argv);
        for (int round = 0;; ++round)
            write_file_whole(loopFile, filled(round % 2 == 0 ? 'B' : 'A'));
    }
    QCoreApplication application(argc, argv);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform.moc"
