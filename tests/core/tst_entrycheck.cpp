#include "entrycheck.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QtTest>

using testfiles::couple;
using testfiles::member;
using namespace Qt::Literals::StringLiterals;

namespace {

CoupleRecord withDances(qint32 number, const QStringList& dances) {
    QList<MemberRecord> partners;
    for (qsizetype i = 0; i < dances.size(); ++i)
        partners << member(QStringLiteral("P%1").arg(i), {}, 1, 1);
    return couple(number, member(QStringLiteral("L"), {}, 1, 0), partners, dances);
}

// A couple of the named leader and partners, each partner given as "name:dances"; member kana are the names
// with "かな" appended, so that one name stands for one member.
CoupleRecord entered(qint32 number, const QString& leader, const QStringList& partners, quint8 section = 0,
                     quint8 regular = 0) {
    QList<MemberRecord> members;
    QStringList dances;
    for (const QString& partner : partners) {
        const QString name = partner.section(u':', 0, 0);
        members << member(name, name + QStringLiteral("かな"), 1, 1);
        dances << partner.section(u':', 1);
    }
    CoupleRecord c = couple(number, member(leader, leader + QStringLiteral("かな"), 1, 0), members, dances);
    c.section = section;
    c.regular = regular;
    return c;
}

const QString kNoDance = QStringLiteral("出場種目が1種目以上必要です。");
const QString kShared = QStringLiteral("パートナーで種目が重なっています。");

} // namespace

Q_DECLARE_METATYPE(QList<EntryProblem>)

class TestEntryCheck : public QObject {
    Q_OBJECT
private slots:
    void rules_data() {
        QTest::addColumn<QList<CoupleRecord>>("couples");
        QTest::addColumn<QString>("message");
        QTest::newRow("no couples") << QList<CoupleRecord>{} << QString();
        QTest::newRow("single without dance")
            << QList<CoupleRecord>{withDances(7, {QString()})} << QStringLiteral("背番号7\r") + kNoDance;
        QTest::newRow("single with dance") << QList<CoupleRecord>{withDances(7, {QStringLiteral("W")})} << QString();
        QTest::newRow("WT and empty") << QList<CoupleRecord>{withDances(3, {QStringLiteral("WT"), QString()})}
                                      << QStringLiteral("背番号3\r") + kNoDance;
        QTest::newRow("empty and W") << QList<CoupleRecord>{withDances(3, {QString(), QStringLiteral("W")})}
                                     << QStringLiteral("背番号3\r") + kNoDance;
        QTest::newRow("WT and QT") << QList<CoupleRecord>{withDances(4, {QStringLiteral("WT"), QStringLiteral("QT")})}
                                   << QStringLiteral("背番号4\r") + kShared;
        QTest::newRow("case-insensitive overlap")
            << QList<CoupleRecord>{withDances(4, {QStringLiteral("W"), QStringLiteral("w")})}
            << QStringLiteral("背番号4\r") + kShared;
        QTest::newRow("overlap before a later empty partner")
            << QList<CoupleRecord>{withDances(4, {QStringLiteral("W"), QStringLiteral("W"), QString()})}
            << QStringLiteral("背番号4\r") + kShared;
        QTest::newRow("W, T, F") << QList<CoupleRecord>{withDances(
                                        5, {QStringLiteral("W"), QStringLiteral("T"), QStringLiteral("F")})}
                                 << QString();
        QTest::newRow("first failing in list order")
            << QList<CoupleRecord>{withDances(1, {QStringLiteral("W")}), withDances(30, {QString()}),
                                   withDances(2, {QStringLiteral("S"), QStringLiteral("S")})}
            << QStringLiteral("背番号30\r") + kNoDance;
    }
    void rules() {
        QFETCH(QList<CoupleRecord>, couples);
        QFETCH(QString, message);
        AppState state;
        state.couples = couples;
        state.coupleCount = qint32(couples.size());
        const AppState before = state;
        ScriptedPrompter prompter;
        QCOMPARE(check_entry(state, prompter), message.isEmpty());
        QCOMPARE(prompter.messages(), message.isEmpty() ? QStringList() : QStringList{message});
        if (!message.isEmpty())
            QCOMPARE(prompter.shown().first().icon, Prompter::Icon::Information);
        QCOMPARE(state.couples, before.couples);
    }

    void singleCoupleJudgedByFlags() {
        AppState state;
        CoupleRecord single = withDances(8, {QString()});
        single.danceFlags[6] = 0; // the flag alone counts for one partner
        state.couples = {single, withDances(9, {QString()})};
        state.coupleCount = 1; // the second is not valid
        ScriptedPrompter prompter;
        QVERIFY(check_entry(state, prompter));
    }

    // entry_problems lists every problem; check_entry reports the first of them.
    void problems_data() {
        QTest::addColumn<QList<CoupleRecord>>("couples");
        QTest::addColumn<QList<EntryProblem>>("expected");
        const QString w = QStringLiteral("W");
        QTest::newRow("no couples") << QList<CoupleRecord>{} << QList<EntryProblem>{};
        QTest::newRow("all pass") << QList<CoupleRecord>{withDances(1, {w}),
                                                         withDances(2, {w, QStringLiteral("T"), QStringLiteral("F")})}
                                  << QList<EntryProblem>{};
        // Every failing couple in list order, not only the first, and not in back-number order.
        QTest::newRow("every failing couple")
            << QList<CoupleRecord>{withDances(30, {QString()}), withDances(1, {w}),
                                   withDances(2, {QStringLiteral("S"), QStringLiteral("s")})}
            << QList<EntryProblem>{{0, 30, kNoDance}, {2, 2, kShared}};
        // Both rules of one couple, each once, in the order the walk meets them.
        QTest::newRow("shared before empty") << QList<CoupleRecord>{withDances(4, {w, w, QString(), w})}
                                             << QList<EntryProblem>{{0, 4, kShared}, {0, 4, kNoDance}};
        QTest::newRow("empty before shared")
            << QList<CoupleRecord>{withDances(4, {QString(), QStringLiteral("WT"), QStringLiteral("QT"), QString()})}
            << QList<EntryProblem>{{0, 4, kNoDance}, {0, 4, kShared}};
    }
    void problems() {
        QFETCH(QList<CoupleRecord>, couples);
        QFETCH(QList<EntryProblem>, expected);
        AppState state;
        state.couples = couples;
        state.coupleCount = qint32(couples.size());
        QCOMPARE(entry_problems(state), expected);

        // check_entry reports exactly the first of them.
        ScriptedPrompter prompter;
        QCOMPARE(check_entry(state, prompter), expected.isEmpty());
        const QStringList message =
            expected.isEmpty()
                ? QStringList()
                : QStringList{QStringLiteral("背番号%1\r").arg(expected.first().backNumber) + expected.first().rule};
        QCOMPARE(prompter.messages(), message);
    }

    // The same member in two couples of one event for one dance; the first couple involved is the position the
    // grid goes to when the user does not export.
    void conflicts_data() {
        QTest::addColumn<QList<CoupleRecord>>("couples");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<qint32>("firstCouple");
        const QString hanakoW = QStringLiteral("花子:W");
        QTest::newRow("partner twice") << QList<CoupleRecord>{entered(12, u"一郎"_s, {hanakoW}),
                                                              entered(3, u"次郎"_s, {u"花子:TW"_s})}
                                       << QStringList{u"花子（花子かな） ワルツ (W): 背番号 3, 12"_s} << 1;
        QTest::newRow("leader twice, one dance in common")
            << QList<CoupleRecord>{entered(5, u"太郎"_s, {u"春子:T"_s}), entered(7, u"太郎"_s, {u"夏子:TF"_s})}
            << QStringList{u"太郎（太郎かな） タンゴ (T): 背番号 5, 7"_s} << 0;
        QTest::newRow("leader dances every dance of the couple")
            << QList<CoupleRecord>{entered(1, u"太郎"_s, {u"春子:W"_s, u"夏子:T"_s}),
                                   entered(2, u"太郎"_s, {u"秋子:T"_s})}
            << QStringList{u"太郎（太郎かな） タンゴ (T): 背番号 1, 2"_s} << 0;
        QTest::newRow("different classes")
            << QList<CoupleRecord>{entered(3, u"一郎"_s, {hanakoW}, 0), entered(4, u"次郎"_s, {hanakoW}, 1)}
            << QStringList{} << -1;
        QTest::newRow("different regular marks")
            << QList<CoupleRecord>{entered(3, u"一郎"_s, {hanakoW}, 0, 1), entered(4, u"次郎"_s, {hanakoW}, 0, 0)}
            << QStringList{} << -1;
        QTest::newRow("no dance in common")
            << QList<CoupleRecord>{entered(3, u"一郎"_s, {hanakoW}), entered(4, u"次郎"_s, {u"花子:TF"_s})}
            << QStringList{} << -1;
        QTest::newRow("same name, another kana")
            << QList<CoupleRecord>{entered(3, u"一郎"_s, {hanakoW}),
                                   couple(4, member(u"次郎"_s, {}, 1, 0), {member(u"花子"_s, u"はなこ"_s, 1, 1)},
                                          {u"W"_s})}
            << QStringList{} << -1;
        QTest::newRow("every section above Latin is Rookie")
            << QList<CoupleRecord>{entered(3, u"一郎"_s, {hanakoW}, 2), entered(4, u"次郎"_s, {hanakoW}, 7)}
            << QStringList{u"花子（花子かな） ワルツ (W): 背番号 3, 4"_s} << 0;
        // Ordered by the lowest back number involved, whatever the list order.
        QTest::newRow("two conflicts, three couples")
            << QList<CoupleRecord>{entered(20, u"一郎"_s, {u"花子:WR"_s}), entered(30, u"次郎"_s, {hanakoW}),
                                   entered(40, u"三郎"_s, {u"夏子:R"_s}), entered(10, u"一郎"_s, {u"夏子:RS"_s})}
            << QStringList{u"一郎（一郎かな） ルンバ (R): 背番号 10, 20"_s,
                           u"夏子（夏子かな） ルンバ (R): 背番号 10, 40"_s,
                           u"花子（花子かな） ワルツ (W): 背番号 20, 30"_s}
            << 3;
        CoupleRecord flagged = entered(8, u"一郎"_s, {u"花子:"_s});
        flagged.danceFlags[0] = 0; // a single partner dances what the flags say, as the export check judges it
        QTest::newRow("single partner by its flags") << QList<CoupleRecord>{flagged, entered(9, u"次郎"_s, {hanakoW})}
                                                     << QStringList{u"花子（花子かな） ワルツ (W): 背番号 8, 9"_s} << 0;
        QTest::newRow("one couple") << QList<CoupleRecord>{entered(1, u"一郎"_s, {hanakoW, u"花子:T"_s})}
                                    << QStringList{} << -1;
        // Ten back numbers a line, the rest counted; every one of them is in the question's details.
        QList<CoupleRecord> twelve;
        for (qint32 number = 12; number >= 1; --number)
            twelve << entered(number, u"太郎"_s, {QStringLiteral("子%1:W").arg(number)});
        QTest::newRow("twelve couples, one leader")
            << twelve << QStringList{u"太郎（太郎かな） ワルツ (W): 背番号 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 …ほか 2 組"_s}
            << 11;
    }
    void conflicts() {
        QFETCH(QList<CoupleRecord>, couples);
        QFETCH(QStringList, lines);
        QFETCH(qint32, firstCouple);
        AppState state;
        state.couples = couples;
        state.coupleCount = qint32(couples.size());
        QStringList found;
        for (const EntryConflict& conflict : entry_conflicts(state))
            found << conflict_text(conflict);
        QCOMPARE(found, lines);

        // One question listing every conflict: No stops at the first couple involved, Yes goes on.
        ScriptedPrompter prompter;
        qint32 position = -1;
        QCOMPARE(confirm_entry_conflicts(state, prompter, &position), lines.isEmpty());
        QCOMPARE(position, firstCouple);
        QCOMPARE(prompter.questions().size(), lines.isEmpty() ? 0 : 1);
        for (const QString& line : lines)
            QVERIFY(prompter.questions().first().contains(line));
        if (!lines.isEmpty()) {
            QCOMPARE(prompter.shown().first().icon, Prompter::Icon::Exclamation);
            const QString details = prompter.shown().first().details;
            QCOMPARE(details.isEmpty(), !lines.join(u'\n').contains(u"…ほか"_s));
            QVERIFY2(details.isEmpty() || details.contains(u"背番号 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12"_s),
                     qPrintable(details));
        }
        prompter.setNextAnswer(true);
        QVERIFY(confirm_entry_conflicts(state, prompter));
    }

    void singlePartnerByFlagsOnly() {
        AppState state;
        CoupleRecord flagged = withDances(8, {QString()});
        flagged.danceFlags[2] = 0;
        CoupleRecord unflagged = withDances(9, {QStringLiteral("W")});
        unflagged.danceFlags[0] = -1;
        state.couples = {flagged, unflagged, withDances(10, {QString()})};
        state.coupleCount = 2; // the third is not valid
        QCOMPARE(entry_problems(state), (QList<EntryProblem>{{1, 9, kNoDance}}));
    }
};

QTEST_GUILESS_MAIN(TestEntryCheck)
#include "tst_entrycheck.moc"
