#include "datafiles.h"
#include "recordcodec.h"
#include "savefile.h"
#include "scriptedprompter.h"
#include "testfiles.h"
#include "yearadvance.h"

#include <QtTest>

#include <cstdio>
#include <memory>

using testfiles::couple;
using testfiles::member;

namespace {

MemberRecord leader(const char* name, quint8 year) {
    return member(QString::fromUtf8(name), {}, year, 0);
}
MemberRecord partner(const char* name, quint8 year) {
    return member(QString::fromUtf8(name), {}, year, 1);
}

QByteArray universityBytes(const UniversityInfo& info) {
    RecordWriter writer;
    writer.writeUniversity(info);
    return writer.data();
}

const QString kFirstQuestion =
    QStringLiteral("メンバーデータとすべてのエントリーデータの学年を１つあげ,そのデータを保存します。"
                   "そのため現４回生のデータは消去されます。よろしいですか？");
const QString kSecondQuestion = QStringLiteral("本当によろしいですか？");

} // namespace

class TestYearAdvance : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    AppState m_state;
    QMap<QString, QByteArray> m_before;

    void writeEntry(const QString& name, const QList<CoupleRecord>& couples) {
        QVERIFY(write_entry_couples(m_state.appFolder + name, couples, qint32(couples.size()), m_state.universityInfo));
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>(); // a fresh folder for every test
        QVERIFY(m_dir->isValid());
        m_state = testfiles::stateIn(*m_dir);
        m_state.universityInfo.university = QStringLiteral("蒼嶺大学");
        m_state.universityInfo.gameName = QStringLiteral("秋の部内戦");
        m_state.members = {leader("一", 1), partner("二", 2), leader("三", 3), partner("四", 4), leader("五", 1)};
        m_state.memberCount = 5;

        CoupleRecord stays = couple(1, leader("L1", 1), {partner("P1", 1), partner("P3", 3)});
        stays.yearSum = 99;
        const CoupleRecord leaves = couple(2, leader("L2", 2), {partner("P3", 3), partner("P4", 4)});
        writeEntry(QStringLiteral("a.ent"), {leaves, stays});
        writeEntry(QStringLiteral("x.ENT"), {couple(3, leader("L4", 4), {partner("P1", 1)})});
        writeEntry(QStringLiteral("b.ent.bak"), {couple(4, leader("L1", 1), {partner("P2", 2)})});
        testfiles::writeBytes(m_state.appFolder + QStringLiteral("notes.txt"), "notes\r\n");
        QVERIFY(write_member_file(m_state.memberFilePath(), m_state));
        QByteArray damaged = encode_entry_file({stays}, 1, m_state.universityInfo, nullptr);
        damaged.chop(5);
        testfiles::writeBytes(m_state.appFolder + QStringLiteral("c.ent"), damaged);
        testfiles::writeBytes(m_state.appFolder + QStringLiteral("results.entries.csv"), "back,name\r\n1,foo\r\n");
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder.ent")));

        m_before.clear();
        for (const QString& name : QDir(m_dir->path()).entryList(QDir::Files))
            m_before[name] = testfiles::readBytes(m_state.appFolder + name);
        m_state.entryFileName = QStringLiteral("a.ent");
        QVERIFY(read_entry_file(m_state.entryFilePath(), m_state));
    }

    void helpers() {
        QVERIFY(is_entry_file_name(QStringLiteral("a.ENT")));
        QVERIFY(is_entry_file_name(QStringLiteral("b.ent.bak")));
        QVERIFY(is_entry_file_name(QStringLiteral("c.entry")));
        QVERIFY(!is_entry_file_name(QStringLiteral("member.dat")));
        QStringList names = list_data_folder(m_state.appFolder).names;
        names.sort();
        QCOMPARE(names, QStringList({QStringLiteral("a.ent"), QStringLiteral("b.ent.bak"), QStringLiteral("c.ent"),
                                     QStringLiteral("member.dat"), QStringLiteral("notes.txt"),
                                     QStringLiteral("results.entries.csv"), QStringLiteral("x.ENT")}));
    }

    void wholeCommand() {
        ScriptedPrompter prompter;
        prompter.defaultAnswer = true;
        QList<bool> busy;
        QVERIFY(command_year_advance(m_state, prompter, [&](bool on) { busy << on; }));
        QCOMPARE(prompter.questions(), QStringList({kFirstQuestion, kSecondQuestion}));
        QCOMPARE(prompter.shown()[0].icon, Prompter::Icon::Exclamation);
        QCOMPARE(prompter.shown()[1].icon, Prompter::Icon::Exclamation);
        QCOMPARE(busy, QList<bool>({true, false}));

        // Members: 1/2/3 move on, the fourth year leaves, the order is kept.
        QCOMPARE(m_state.memberCount, 4);
        QStringList names;
        QList<int> years;
        for (const MemberRecord& m : m_state.members) {
            names << m.name;
            years << m.year;
        }
        QCOMPARE(names,
                 QStringList({QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"), QStringLiteral("五")}));
        QCOMPARE(years, QList<int>({2, 3, 4, 2}));
        AppState reread;
        QVERIFY(read_member_file(m_state.memberFilePath(), reread));
        QCOMPARE(reread.members, m_state.members);

        // Entry files: the couple with a fourth year is gone, the other moved on; yearSum is kept.
        QList<CoupleRecord> list;
        qint32 count = -1;
        QVERIFY(read_entry_couples(m_state.appFolder + QStringLiteral("a.ent"), list, count));
        QCOMPARE(count, 1);
        QCOMPARE(list[0].backNumber, 1);
        QCOMPARE(list[0].leader.year, quint8(2));
        QCOMPARE(list[0].partners[0].year, quint8(2));
        QCOMPARE(list[0].partners[1].year, quint8(4));
        QCOMPARE(list[0].yearSum, 99);
        QVERIFY(read_entry_couples(m_state.appFolder + QStringLiteral("x.ENT"), list, count));
        QCOMPARE(count, 0);
        QVERIFY(read_entry_couples(m_state.appFolder + QStringLiteral("b.ent.bak"), list, count));
        QCOMPARE(list[0].partners[0].year, quint8(3));
        const QByteArray info = universityBytes(m_state.universityInfo);
        for (const char* name : {"a.ent", "x.ENT", "b.ent.bak"})
            QVERIFY2(testfiles::readBytes(m_state.appFolder + QLatin1String(name)).endsWith(info), name);
        QCOMPARE(testfiles::readBytes(m_state.appFolder + QStringLiteral("x.ENT")),
                 testfiles::fromHex("00 00 00 00") + info);

        // Damaged and foreign files are untouched; one message at the end names what was advanced, what was
        // not and where the backup is, which holds every rewritten file as it was.
        for (const char* name : {"c.ent", "results.entries.csv", "notes.txt"})
            QCOMPARE(testfiles::readBytes(m_state.appFolder + QLatin1String(name)), m_before[QLatin1String(name)]);
        QCOMPARE(prompter.messages().size(), 1);
        const QString message = prompter.messages().first();
        for (const char* name : {"c.ent", "results.entries.csv", "a.ent", "x.ENT", "member.dat"})
            QVERIFY2(message.contains(QLatin1String(name)), name);
        const QStringList backups =
            QDir(m_state.appFolder + QStringLiteral("backup")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(backups.size(), 1);
        const QString backup = m_state.appFolder + QStringLiteral("backup/") + backups.first() + QLatin1Char('/');
        QVERIFY(message.contains(QDir::toNativeSeparators(backup.chopped(1))));
        QStringList copied = QDir(backup).entryList(QDir::Files);
        copied.sort();
        QCOMPARE(copied, QStringList({QStringLiteral("a.ent"), QStringLiteral("b.ent.bak"),
                                      QStringLiteral("member.dat"), QStringLiteral("x.ENT")}));
        for (const QString& name : copied)
            QCOMPARE(testfiles::readBytes(backup + name), m_before[name]);

        // The open entry was read again.
        QCOMPARE(m_state.coupleCount, 1);
        QCOMPARE(m_state.couples[0].leader.year, quint8(2));
    }

    // The closing message's details name whom the advance removed: the fourth-year members and, per entry file
    // it rewrote, the couples that left.
    void detailsListWhomItRemoved() {
        m_state.members[3].kana = QStringLiteral("よん");
        ScriptedPrompter prompter;
        prompter.defaultAnswer = true;
        QVERIFY(command_year_advance(m_state, prompter, {}));
        const QStringList sections = prompter.shown().last().details.split(QStringLiteral("\n\n"));
        QVERIFY(sections.contains(QStringLiteral("名簿から消した４回生（1 人）：\n四（よん）")));
        QVERIFY(sections.contains(QStringLiteral("a.ent から消したカップル（1 組）：\n背番号 2　L2・P3・P4")));
        QVERIFY(sections.contains(QStringLiteral("x.ENT から消したカップル（1 組）：\n背番号 3　L4・P1")));
        QCOMPARE(sections.filter(QStringLiteral("から消したカップル")).size(), 2); // b.ent.bak lost none
    }

    void answeringNoChangesNothing_data() {
        QTest::addColumn<QList<bool>>("answers");
        QTest::newRow("first") << QList<bool>{false};
        QTest::newRow("second") << QList<bool>{true, false};
    }
    void answeringNoChangesNothing() {
        QFETCH(QList<bool>, answers);
        ScriptedPrompter prompter;
        for (bool answer : answers)
            prompter.setNextAnswer(answer);
        const AppState before = m_state;
        bool busyCalled = false;
        QVERIFY(!command_year_advance(m_state, prompter, [&](bool) { busyCalled = true; }));
        QVERIFY(!busyCalled);
        QCOMPARE(m_state.members, before.members);
        for (auto it = m_before.cbegin(); it != m_before.cend(); ++it)
            QCOMPARE(testfiles::readBytes(m_state.appFolder + it.key()), it.value());
    }

    void emptyRosterStopsAfterPrompts() {
        m_state.memberCount = 0;
        m_state.entryChanged = true;
        ScriptedPrompter prompter;
        QVERIFY(!command_year_advance(m_state, prompter, {}));
        QCOMPARE(prompter.questions(),
                 QStringList{QStringLiteral("現在のエントリーデータを保存します。よろしいですか？")});
        QCOMPARE(m_state.entryChanged, false);
    }

    // Every name holding ".ent" is advanced, whatever follows it; only what the safe save leaves (hidden, of the
    // program's own, without ".ent") stays as it is and is not named.
    void namesHoldingEntAdvance_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("advanced");
        QTest::newRow("a backup copy") << "keep.ent.backup" << true;
        QTest::newRow("six letters after .ent") << "a.ent.Qx7kP2" << true;
        QTest::newRow("six digits after .ent") << "a.ent.123456" << true;
        QTest::newRow("the safe save's temporary file") << save_temporary_prefix() + QStringLiteral("Ab12Cd") << false;
    }
    void namesHoldingEntAdvance() {
        QFETCH(QString, name);
        QFETCH(bool, advanced);
        const QByteArray copy = testfiles::readBytes(m_state.appFolder + QStringLiteral("a.ent"));
        testfiles::writeBytes(m_state.appFolder + name, copy);
        ScriptedPrompter prompter;
        prompter.defaultAnswer = true;
        QVERIFY(command_year_advance(m_state, prompter, {}));
        const QByteArray now = testfiles::readBytes(m_state.appFolder + name);
        QCOMPARE(now == copy, !advanced);
        if (advanced)
            QCOMPARE(now, testfiles::readBytes(m_state.appFolder + QStringLiteral("a.ent")));
        QCOMPARE(prompter.messages().constLast().contains(name), advanced);
    }

    // A name in Shift-JIS bytes cannot be written back under the name it has: it stays, and is named at the end.
    void foreignNameStays() {
#ifdef Q_OS_WIN
        QSKIP("Windows' file names are UTF-16: no name is in other bytes");
#endif
        const QByteArray copy = testfiles::readBytes(m_state.appFolder + QStringLiteral("a.ent"));
        const QByteArray sjisName = m_state.appFolder.toUtf8() + QByteArray("\x8F\x74.ent"); // 春.ent
        std::FILE* made = std::fopen(sjisName.constData(), "wb");
        QVERIFY(made);
        std::fwrite(copy.constData(), 1, size_t(copy.size()), made);
        std::fclose(made);
        ScriptedPrompter prompter;
        prompter.defaultAnswer = true;
        QVERIFY(command_year_advance(m_state, prompter, {}));
        std::FILE* raw = std::fopen(sjisName.constData(), "rb");
        QVERIFY(raw);
        QByteArray kept(copy.size() + 1, '\0');
        kept.truncate(qsizetype(std::fread(kept.data(), 1, size_t(kept.size()), raw)));
        std::fclose(raw);
        QCOMPARE(kept, copy);
        QVERIFY(prompter.messages().constLast().contains(QStringLiteral("春.ent")));
    }

    // A text that cannot be stored stops the advance before anything is written.
    void unstorableTextWritesNothing() {
        m_state.universityInfo.university = QStringLiteral("𠮷野大学");
        ScriptedPrompter prompter;
        prompter.defaultAnswer = true;
        const AppState before = m_state;
        QVERIFY(!command_year_advance(m_state, prompter, {}));
        QCOMPARE(m_state.members, before.members);
        for (auto it = m_before.cbegin(); it != m_before.cend(); ++it)
            QCOMPARE(testfiles::readBytes(m_state.appFolder + it.key()), it.value());
        QVERIFY(prompter.messages().constLast().contains(QStringLiteral("𠮷")));
    }

    void onlyFourthYears() {
        m_state.members = {leader("A", 4), partner("B", 4)};
        m_state.memberCount = 2;
        advance_member_years(m_state);
        QCOMPARE(m_state.memberCount, 0);
        QVERIFY(m_state.members.isEmpty());
        QVERIFY(write_member_file(m_state.memberFilePath(), m_state));
        QCOMPARE(testfiles::readBytes(m_state.memberFilePath()), testfiles::fromHex("00 00 00 00"));
    }
};

QTEST_GUILESS_MAIN(TestYearAdvance)
#include "tst_yearadvance.moc"
