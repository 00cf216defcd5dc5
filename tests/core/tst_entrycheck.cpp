#include "entrycheck.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QtTest>

using testfiles::couple;
using testfiles::member;

namespace {

CoupleRecord withDances(qint32 number, const QStringList& dances) {
    QList<MemberRecord> partners;
    for (qsizetype i = 0; i < dances.size(); ++i)
        partners << member(QStringLiteral("P%1").arg(i), {}, 1, 1);
    return couple(number, member(QStringLiteral("L"), {}, 1, 0), partners, dances);
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
