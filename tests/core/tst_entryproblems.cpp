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

class TestEntryProblems : public QObject {
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(TestEntryProblems)
#include "tst_entryproblems.moc"
