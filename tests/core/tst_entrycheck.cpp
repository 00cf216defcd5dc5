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
};

QTEST_GUILESS_MAIN(TestEntryCheck)
#include "tst_entrycheck.moc"
