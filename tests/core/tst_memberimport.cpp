#include "cp932.h"
#include "csvtable.h"
#include "datafiles.h"
#include "memberimport.h"
#include "membertext.h"
#include "testfiles.h"

#include <QtTest>

#include <sys/stat.h>

using testfiles::member;

namespace {
QByteArray sjis(const char* text) {
    QByteArray bytes;
    cp932::encode(QString::fromUtf8(text), &bytes);
    return bytes;
}

// A candidate as one line: the member it becomes with partner as the caller's role, then its status.
QString render(const ImportCandidate& c) {
    const MemberRecord m = imported_member(c, 1);
    return QStringList{m.name,       m.kana,       QString::number(m.year),
                       m.department, m.highschool, QLatin1String(m.role ? "P" : "L"),
                       c.statusText}
        .join(u'|');
}

MemberRecord fullMember(const char* name, const char* kana, quint8 year, const char* dept, const char* school,
                        quint8 role) {
    MemberRecord m = member(QString::fromUtf8(name), QString::fromUtf8(kana), year, role);
    m.department = QString::fromUtf8(dept);
    m.highschool = QString::fromUtf8(school);
    return m;
}
} // namespace

class TestMemberImport : public QObject {
    Q_OBJECT
private slots:
    void reads_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected"); // rendered candidates
        QTest::addColumn<QString>("error");        // part of the refusal, after the file name
        const auto row = [](const char* name, const QByteArray& bytes, const char* expected, const char* error = "",
                            const char* setup = "") {
            const QString rows = QString::fromUtf8(expected);
            QTest::newRow(name) << QString::fromLatin1(setup) << bytes
                                << (rows.isEmpty() ? QStringList() : rows.split(u';')) << QString::fromUtf8(error);
        };
        row("utf-8 with bom, crlf, quoted, header",
            QByteArray("\xEF\xBB\xBF") + "名前,かな,回生,学部,出身高校,役割\r\n"
                                         "\"佐藤, 花子\",さとう,2,\"文\"\"学\"\"部\",南高,partner\r\n,,,,,\r\n",
            "佐藤, 花子|さとう|2|文\"学\"部|南高|P|取り込み");
        row("utf-8, lf, line break in quotes, variants", "氏名,ふりがな,学年\n\"a\nb\",x,1\n\n",
            "a\nb|x|1|||P|「名前」に改行");
        row("headers in any order, blanks around",
            " 役割 ,高校,学年,\"フリガナ \",氏名,学部,メモ\r\nL,西高,４年,もり,森,理,x",
            "森|もり|4|理|西高|L|取り込み");
        row("cp932 text export, no header", sjis("田中,たなか,3,工学部,北高\r\n名前,な,1,,\r\n"),
            "田中|たなか|3|工学部|北高|P|取り込み;名前|な|1|||P|取り込み");
        row("lone cr, blanks, quoted blanks kept", "\t 山田 　, やまだ,1\r\" b \",y,2\r",
            "山田|やまだ|1|||P|取り込み; b |y|2|||P|取り込み");
        row("malformed quotes", "\"ab\"cd  ,x,1\nab\"c,y,2", "abcd|x|1|||P|取り込み;ab\"c|y|2|||P|取り込み");
        row("value forms",
            "a,k,1,,,leader\nb,k,１,,,LEADER\nc,k,2回生,,,l\nd,k,３回生,,,P\ne,k,4年,,,partner\nf,k,２年,,,パートナー\n"
            "g,k,1,,,リーダー\nh,k,1,,,ﾊﾟｰﾄﾅｰ\nw〜,k,1,,,Ｌ",
            "a|k|1|||L|取り込み;b|k|1|||L|取り込み;c|k|2|||L|取り込み;d|k|3|||P|取り込み;e|k|4|||P|取り込み;"
            "f|k|2|||P|取り込み;g|k|1|||L|取り込み;h|k|1|||P|取り込み;w～|k|1|||L|取り込み");
        row("refused rows, first reason",
            "b,k,0\nb,k,5\nb,k\nb,k,1年生\nb,k,1,,,x\n　,k,9,,,x\n𠮷,k,1,,,x\n𠮷田,k,1\nc,k,2,工,𠮷\n"
            "山田太郎,やまだたろう,1\n山田太郎,やまだたろう,2\nd,k,1\nd,k,2,,,L\nd,k2,1\ne,k,9\ne,k,1",
            "b|k|0|||P|回生が1～4でない;b|k|0|||P|回生が1～4でない;b|k|0|||P|回生が1～4でない;"
            "b|k|0|||P|回生が1～4でない;b|k|1|||L|役割が不明;|k|0|||L|名前なし;𠮷|k|1|||L|役割が不明;"
            "𠮷田|k|1|||P|「名前」に保存できない文字「𠮷」(U+20BB7);c|k|2|工|𠮷|P|「出身高校」に保存できない文字「𠮷」("
            "U+20BB7);"
            "山田太郎|やまだたろう|1|||P|登録済み;山田太郎|やまだたろう|2|||P|登録済み;d|k|1|||P|取り込み;"
            "d|k|2|||L|ファイル内で重複;d|k2|1|||P|取り込み;e|k|0|||P|回生が1～4でない;e|k|1|||P|取り込み");
        // A text the roster cannot keep as one line, or longer than a name or a short phrase, stays out; the
        // first such text of the row is named. The bound is 64 characters, whatever their width.
        const QByteArray longest = QString(64, QChar(0x821E)).toUtf8();
        const QString l = QString::fromUtf8(longest);
        QTest::newRow("texts that cannot be stored")
            << QString()
            << "a,k,1,\"文\r\n学部\",\nb,\"か\tな\",1\nc,k,1,,\"北\x07高\"\nd,k,1,\x7F\n" + longest + ",k,1\n" +
                   longest + "x,k,1\ne,k,1,," + QByteArray(70000, 'y') + "\n\"f\r\",\"" + longest + "z\",1"
            << QStringList{QStringLiteral("a|k|1|文\r\n学部||P|「学部」に改行"),
                           QStringLiteral("b|か\tな|1|||P|「かな」にタブ"),
                           QStringLiteral("c|k|1||北\a高|P|「出身高校」に制御文字 (U+0007)"),
                           QStringLiteral("d|k|1|\x7F||P|「学部」に制御文字 (U+007F)"),
                           l + QStringLiteral("|k|1|||P|取り込み"),
                           l + QStringLiteral("x|k|1|||P|「名前」が長すぎる（65文字、最大64文字）"),
                           QStringLiteral("e|k|1||") + QString(70000, u'y') +
                               QStringLiteral("|P|「出身高校」が長すぎる（70,000文字、最大64文字）"),
                           QStringLiteral("f\r|") + l + QStringLiteral("z|1|||P|「名前」に改行")}
            << QString();
        row("neither utf-8 nor cp932", "a,\xFF\xFE,1", "", "UTF-8 でも Shift-JIS");
        row("damaged utf-8 behind a bom", "\xEF\xBB\xBF\xE7\x94\xB0\x8DH,x,1", "", "UTF-8 でも Shift-JIS");
        row("nul character", QByteArray("a,b,1\0", 6), "", "UTF-8 でも Shift-JIS");
        row("unclosed quote", "a,x,1\r\n\"b,y,2\r\nc,z,3", "", "2行目で始まる");
        row("header only", "名前,かな\r\n", "", "メンバーの行がありません");
        row("blank lines only", "\r\n,,,\r\n \r\n", "", "メンバーの行がありません");
        row("exactly 4 MiB is read", QByteArray(4 * 1024 * 1024, ' '), "", "メンバーの行がありません");
        row("more than 4 MiB", QByteArray(4 * 1024 * 1024 + 1, ' '), "", "大きすぎます");
        // At most the roster's 20,000 rows, a header row aside; a larger file is refused naming the limit. The
        // roster holds one member already, so the last row of a full file finds it full.
        for (const bool header : {true, false}) {
            for (const int rows : {kMaxMembers, kMaxMembers + 1}) {
                QByteArray bytes = header ? "名前,かな,回生\n" : "";
                QStringList expected;
                for (int i = 0; i < rows; ++i) {
                    bytes += "a" + QByteArray::number(i) + ",k,1\n";
                    expected << QStringLiteral("a%1|k|1|||P|%2")
                                    .arg(i)
                                    .arg(i == kMaxMembers - 1 ? QStringLiteral("メンバーが20,000人を超える")
                                                              : QStringLiteral("取り込み"));
                }
                QTest::addRow("%d rows%s", rows, header ? " and a header" : "")
                    << QString() << bytes << (rows > kMaxMembers ? QStringList() : expected)
                    << (rows > kMaxMembers
                            ? QStringLiteral("行が多すぎるため読み込めません。一度に取り込めるのは20,000行")
                            : QString());
            }
        }
        row("missing", "", "", "見つかりません", "missing");
        row("folder", "", "", "フォルダです", "folder");
        row("fifo", "", "", "通常のファイルではありません", "fifo");
    }

    void reads() {
        QFETCH(QString, setup);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("部員.csv"));
        if (setup == u"folder")
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("部員.csv")));
        else if (setup == u"fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (setup.isEmpty())
            testfiles::writeBytes(path, bytes);
        AppState state;
        state.members = {member(QStringLiteral("山田太郎"), QStringLiteral("やまだたろう"), 2, 0)};
        state.memberCount = 1;

        QList<ImportCandidate> candidates;
        QString message;
        const bool ok = read_member_csv(path, state, &candidates, &message);
        QStringList rendered;
        for (const ImportCandidate& c : candidates)
            rendered << render(c);
        QCOMPARE(rendered, expected);
        QCOMPARE(import_note(candidates).isEmpty(), !rendered.value(0).endsWith(u"見出し行なし"));
        QCOMPARE(ok, error.isEmpty());
        if (!ok)
            QVERIFY2(message.contains(QStringLiteral("部員.csv")) && message.contains(error), qPrintable(message));
    }

    // The roster table, written as the tool writes it, imports into an empty roster as the same members, but for
    // texts that the roster keeps on one line only.
    void rosterTableRoundTrip() {
        AppState roster;
        roster.members = {fullMember("山田 太郎", "やまだ", 1, "工学部", "北高", 0),
                          fullMember(" 鈴木,\"花子\"　", "", 4, "", "", 1),
                          fullMember("改\r\n行", "～", 3, "\t文", "南高 ", 1),
                          fullMember("Lee", "りー", 2, "理", "", 0), fullMember("幽霊", "", 1, "", "", 0)};
        roster.memberCount = 4;
        QCOMPARE(member_table(roster).first().join(u','), QStringLiteral("名前,かな,回生,学部,出身高校,役割"));
        const QString text = csv_text(member_table(roster));
        QByteArray cp932Bytes;
        QVERIFY(cp932::encode(text, &cp932Bytes));
        for (const QByteArray& bytes : {QByteArray("\xEF\xBB\xBF") + text.toUtf8(), cp932Bytes}) {
            QTemporaryDir dir;
            testfiles::writeBytes(dir.filePath(QStringLiteral("roster.csv")), bytes);
            AppState empty;
            QList<ImportCandidate> candidates;
            QString error;
            QVERIFY2(read_member_csv(dir.filePath(QStringLiteral("roster.csv")), empty, &candidates, &error),
                     qPrintable(error));
            // A member whose texts hold line breaks or tabs (from an old file) stays out, named in its state.
            QCOMPARE(candidates.value(2).statusText, QStringLiteral("「名前」に改行"));
            QCOMPARE(import_members(empty, candidates, 1), 3);
            QCOMPARE(empty.members, roster.members.mid(0, 2) + roster.members.mid(3, 1));
            QCOMPARE(empty.memberCount, 3);
        }
    }

    // The member text export comes back in its order; the role is the caller's choice.
    void memberTextImport() {
        AppState roster;
        roster.members = {fullMember("山田", "やまだ", 3, "工学部", "北高", 0), fullMember("Bob", "", 1, "", "", 0)};
        roster.memberCount = 2;
        QString error;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("members.txt"));
        testfiles::writeBytes(path, member_text_bytes(roster, {1, 0}, &error));
        QList<ImportCandidate> candidates;
        QVERIFY2(read_member_csv(path, AppState{}, &candidates, &error), qPrintable(error));
        for (const quint8 role : {quint8(0), quint8(1)}) {
            AppState state;
            QCOMPARE(import_members(state, candidates, role), 2);
            QList<MemberRecord> expected = {roster.members[1], roster.members[0]};
            expected[0].role = expected[1].role = role;
            QCOMPARE(state.members, expected);
            QCOMPARE(preview_cells(candidates[0], role).value(kMemberColRole),
                     role ? QStringLiteral("partner") : QStringLiteral("leader"));
        }
    }

    // Rows beyond the roster's bound stay out, after the rows that fill it; refused rows take no room.
    void rosterBound() {
        AppState state;
        state.members = QList<MemberRecord>(kMaxMembers - 2);
        state.memberCount = kMaxMembers - 2;
        const QList<ImportCandidate> candidates =
            member_candidates({{QStringLiteral("a"), QString(), QStringLiteral("1")},
                               {QStringLiteral("b"), QString(), QStringLiteral("9")},
                               {QStringLiteral("c"), QString(), QStringLiteral("1")},
                               {QStringLiteral("d"), QString(), QStringLiteral("1")}},
                              state);
        QStringList states;
        for (const ImportCandidate& c : candidates)
            states << c.statusText;
        QCOMPARE(states, (QStringList{QStringLiteral("取り込み"), QStringLiteral("回生が1～4でない"),
                                      QStringLiteral("取り込み"), QStringLiteral("メンバーが20,000人を超える")}));
        QCOMPARE(import_members(state, candidates, 0), 2);
        QCOMPARE(state.memberCount, kMaxMembers);
    }

    // Import appends behind the valid members only, and leaves the state alone when nothing is importable.
    void importAppendsBehindCount() {
        AppState state;
        state.members = {member(QStringLiteral("a"), QString(), 1, 0),
                         member(QStringLiteral("stale"), QString(), 1, 0)};
        state.memberCount = 1;
        const QList<ImportCandidate> candidates = member_candidates(
            {{QStringLiteral("b"), QString(), QStringLiteral("2")},
             {QStringLiteral("a"), QString(), QStringLiteral("1")},
             {QStringLiteral("c"), QString(), QStringLiteral("3"), QString(), QString(), QStringLiteral("X")}},
            state);
        QCOMPARE(importable_count(candidates), 1);
        AppState unchanged = state;
        QCOMPARE(import_members(unchanged, {candidates[1]}, 0), 0);
        QCOMPARE(unchanged, state);
        QCOMPARE(import_members(state, candidates, 1), 1);
        QCOMPARE(state.members, (QList<MemberRecord>{member(QStringLiteral("a"), QString(), 1, 0),
                                                     member(QStringLiteral("b"), QString(), 2, 1)}));
        QCOMPARE(state.memberCount, 2);
        QCOMPARE(state.membersChanged, true);
    }
};

QTEST_GUILESS_MAIN(TestMemberImport)
#include "tst_memberimport.moc"
