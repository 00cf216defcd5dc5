// Which folder the program keeps its files in: --folder, the program's own folder when it holds a club's files,
// or the per-user folder; each created when missing, and a clear reason when it cannot be.

#include "datafolder.h"
#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(DataFolderSource)

class TestDataFolder : public QObject {
    Q_OBJECT

    // Every path of a row is relative to a fresh temporary folder, which is also the current folder.
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_previousCurrent;

    QString root() const { return m_root->path(); }
    QString at(const QString& relative) const { return QDir::cleanPath(m_root->filePath(relative)); }

private slots:
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        m_previousCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(root()));
        QVERIFY(QDir().mkpath(QStringLiteral("program")));
    }
    void cleanup() {
        QDir::setCurrent(m_previousCurrent);
        m_root.reset();
    }

    void decide_data() {
        QTest::addColumn<QString>("requested"); // "-": no --folder; "@" stands for the temporary folder
        QTest::addColumn<QStringList>("programFiles");
        QTest::addColumn<QStringList>("plainFiles"); // files made beforehand, in the way of a folder
        QTest::addColumn<QString>("userFolder");     // "-": the system names none
        QTest::addColumn<QString>("expected");       // the chosen folder; empty when none can be used
        QTest::addColumn<DataFolderSource>("source");
        QTest::addColumn<QString>("reason"); // part of the message, "@" for the temporary folder

        const QString user = QStringLiteral("home/.local/share/DanceEntry");
        const QStringList none;
        const QStringList roster = {QStringLiteral("member.dat")};
        const auto cli = DataFolderSource::CommandLine;
        const auto program = DataFolderSource::ProgramFolder;
        const auto perUser = DataFolderSource::UserFolder;

        QTest::newRow("--folder new, parents made")
            << "club/2024" << roster << none << user << "club/2024" << cli << "";
        QTest::newRow("--folder existing") << "program" << none << none << user << "program" << cli << "";
        QTest::newRow("--folder absolute") << "@/abs/club" << none << none << user << "abs/club" << cli << "";
        QTest::newRow("--folder tidied") << "./a/../club/" << none << none << user << "club" << cli << "";
        QTest::newRow("--folder is a file")
            << "taken" << none << QStringList{QStringLiteral("taken")} << user << "" << cli
            << "データフォルダ「@/taken」を作れませんでした。\n同じ名前のファイル";
        QTest::newRow("--folder under a file")
            << "taken/club" << none << QStringList{QStringLiteral("taken")} << user << "" << cli
            << "データフォルダ「@/taken/club」を作れませんでした。\n途中の名前がフォルダではなくファイル";
        QTest::newRow("--folder empty") << "" << roster << none << user << "" << cli << "名前が空";
        QTest::newRow("program folder: member.dat") << "-" << roster << none << user << "program" << program << "";
        QTest::newRow("program folder: uniinf.dat")
            << "-" << QStringList{QStringLiteral("uniinf.dat")} << none << user << "program" << program << "";
        QTest::newRow("program folder: Gamename.txt")
            << "-" << QStringList{QStringLiteral("Gamename.txt")} << none << user << "program" << program << "";
        QTest::newRow("program folder: entry files only")
            << "-" << QStringList{QStringLiteral("A大学_春.ent"), QStringLiteral("member.dat.bak")} << none << user
            << user << perUser << "";
        QTest::newRow("per-user folder made") << "-" << none << none << user << user << perUser << "";
        QTest::newRow("per-user folder existing") << "-" << none << none << "program"
                                                  << "program" << perUser << "";
        QTest::newRow("per-user folder blocked")
            << "-" << none << QStringList{QStringLiteral("home")} << user << "" << perUser
            << QStringLiteral("データフォルダ「@/%1」を作れませんでした。").arg(user);
        QTest::newRow("per-user folder unknown") << "-" << none << none << "-"
                                                 << "" << perUser << "HOME";
    }
    void decide() {
        QFETCH(QString, requested);
        QFETCH(QStringList, programFiles);
        QFETCH(QStringList, plainFiles);
        QFETCH(QString, userFolder);
        QFETCH(QString, expected);
        QFETCH(DataFolderSource, source);
        QFETCH(QString, reason);
        for (const QString& name : programFiles)
            testfiles::writeBytes(at(QStringLiteral("program/") + name), "\x00\x00\x00\x00");
        for (const QString& name : plainFiles)
            testfiles::writeBytes(at(name), "x");
        const QStringList before = QDir(root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        const std::optional<QString> option =
            requested == QLatin1String("-")
                ? std::nullopt
                : std::optional<QString>(QString(requested).replace(QLatin1Char('@'), root()));
        const DataFolder folder = decide_data_folder(option, at(QStringLiteral("program")),
                                                     userFolder == QLatin1String("-") ? QString() : at(userFolder));

        QCOMPARE(folder.source, source);
        if (expected.isEmpty()) {
            QVERIFY(folder.path.isEmpty());
            // (The message names the folder in the system's own separators.)
            QVERIFY2(folder.error.contains(QDir::toNativeSeparators(QString(reason).replace(QLatin1Char('@'), root()))),
                     qPrintable(folder.error));
            // A folder that cannot be used is not replaced by another: nothing new appears.
            QCOMPARE(QDir(root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
            return;
        }
        QVERIFY2(folder.error.isEmpty(), qPrintable(folder.error));
        QCOMPARE(folder.path, at(expected) + QLatin1Char('/'));
        QVERIFY(QFileInfo(folder.path).isDir());
        // Only the chosen folder is made: a per-user folder is not left behind by --folder or a portable start.
        if (source != DataFolderSource::UserFolder && userFolder != QLatin1String("-"))
            QVERIFY(!QFileInfo::exists(at(userFolder)) || at(userFolder) == at(expected));
    }

    // The per-user folder as the XDG rule has it: only an absolute XDG_DATA_HOME counts, and without an absolute
    // HOME there is none (never a folder below "/").
    void userFolder_data() {
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* tag, const char* xdgDataHome, const char* home, const char* expected) {
            QTest::newRow(tag) << xdgDataHome << home << expected;
        };
        row("XDG_DATA_HOME", "/data/x", "/home/a", "/data/x/DanceEntry");
        row("default below HOME", "", "/home/a", "/home/a/.local/share/DanceEntry");
        row("relative XDG_DATA_HOME ignored", "share", "/home/a", "/home/a/.local/share/DanceEntry");
        row("no HOME", "", "", "");
        row("relative HOME", "", "home/a", "");
    }
    void userFolder() {
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, home);
        QFETCH(QString, expected);
        QCOMPARE(user_data_folder_for(xdgDataHome, home), expected);
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
