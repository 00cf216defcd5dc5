// The rules of the couple editor: the year filters it opens with, choosing partners and its 決定.

#include "coupleedit.h"
#include "datafiles.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QSignalSpy>
#include <QTest>

using testfiles::couple;
using testfiles::member;

namespace {

QStringList names(const char* list) {
    return QString::fromLatin1(list).split(QLatin1Char(','));
}

MemberRecord dancer(const char* name, quint8 year, quint8 role) {
    return member(QString::fromUtf8(name), QString::fromUtf8(name), year, role);
}

// Couple 5: leader in year 3, partners in years 2 and 2 dancing W and T.
AppState oneCouple() {
    AppState state;
    state.couples = {couple(5, dancer("L", 3, 0), {dancer("A", 2, 1), dancer("B", 2, 1)},
                            {QStringLiteral("W"), QStringLiteral("T")})};
    state.coupleCount = 1;
    return state;
}

} // namespace

class TestCoupleEdit : public QObject {
    Q_OBJECT
private slots:
    void partnerFilter_data() {
        QTest::addColumn<QList<int>>("years");
        QTest::addColumn<int>("filter");
        QTest::newRow("one partner") << QList<int>{3} << 3;
        QTest::newRow("all of year 2") << QList<int>{2, 2} << 2;
        QTest::newRow("years 2 and 3") << QList<int>{2, 3} << 0;
        QTest::newRow("a year no option shows") << QList<int>{7} << 0;
    }
    void partnerFilter() {
        QFETCH(QList<int>, years);
        QFETCH(int, filter);
        QList<MemberRecord> partners;
        for (int year : years)
            partners << dancer("P", quint8(year), 1);
        QCOMPARE(partner_year_filter(couple(1, dancer("L", 1, 0), partners)), filter);
    }

    void choosePartners() {
        CoupleRecord working = oneCouple().couples[0];
        ScriptedPrompter prompter;
        const QList<MemberRecord> five(5, dancer("P", 1, 1));
        QVERIFY(!choose_partners(working, five, prompter));
        QCOMPARE(prompter.messages(), QStringList{QStringLiteral("パートナーは４人までです。")});
        QCOMPARE(working, oneCouple().couples[0]);

        // The dance strings stay with their positions.
        QVERIFY(choose_partners(working, {dancer("C", 1, 1), dancer("D", 1, 1), dancer("E", 1, 1)}, prompter));
        QCOMPARE(working.partnerCount, 3);
        QCOMPARE(working.partnerDances, (QStringList{QStringLiteral("W"), QStringLiteral("T"), QString()}));
        QVERIFY(choose_partners(working, {dancer("F", 1, 1)}, prompter));
        QCOMPARE(working.partnerDances, QStringList{QStringLiteral("W")});
        QVERIFY(choose_partners(working, {}, prompter));
        QCOMPARE(working.partnerCount, 0);
    }

    void storeNewCouple() {
        AppState state = oneCouple();
        ScriptedPrompter prompter;
        CoupleEdit edit = *begin_couple_edit(state, -1);
        edit.working.leader = dancer("M", 1, 0);
        QVERIFY(choose_partners(edit.working, {dancer("N", 3, 1)}, prompter));
        QCOMPARE(store_couple(state, edit, QStringLiteral("5"), prompter), StoreCoupleResult::Refused); // in use
        QCOMPARE(store_couple(state, edit, QStringLiteral("x"), prompter), StoreCoupleResult::BadNumber);
        QCOMPARE(state, oneCouple());
        QSignalSpy told(state.notifier.get(), &StateNotifier::couplesChanged);
        QCOMPARE(store_couple(state, edit, QStringLiteral("6"), prompter), StoreCoupleResult::Stored);
        QCOMPARE(state.coupleCount, 2);
        QCOMPARE(state.couples[1].backNumber, 6);
        QCOMPARE(state.couples[1].yearSum, 4);
        QCOMPARE(state.entryChanged, true);
        QCOMPARE(told.size(), 1);
    }

    // An entry at its bound takes no new couple (it could not be saved), but its couples can still be changed.
    void storeAtTheBound() {
        AppState state = oneCouple();
        state.couples = QList<CoupleRecord>(kMaxCouples, state.couples[0]);
        for (qint32 i = 0; i < kMaxCouples; ++i)
            state.couples[i].backNumber = i + 1;
        state.coupleCount = kMaxCouples;
        ScriptedPrompter prompter;
        CoupleEdit added = *begin_couple_edit(state, -1);
        added.working = state.couples[0];
        QCOMPARE(store_couple(state, added, QStringLiteral("20000"), prompter), StoreCoupleResult::Refused);
        QCOMPARE(prompter.messages(),
                 QStringList{QStringLiteral("カップルは 10,000 組までです。これ以上追加できません。")});
        QCOMPARE(state.coupleCount, kMaxCouples);
        CoupleEdit edited = *begin_couple_edit(state, 0);
        QCOMPARE(store_couple(state, edited, QStringLiteral("20000"), prompter), StoreCoupleResult::Stored);
    }

    // Switches the grid made while the editor was open are kept; a dropped partner's dance leaves the flags.
    void storeEditKeepsGridSwitches() {
        AppState state = oneCouple();
        ScriptedPrompter prompter;
        CoupleEdit edit = *begin_couple_edit(state, 0);
        QVERIFY(choose_partners(edit.working, {edit.working.partners[0]}, prompter));
        state.couples[0].regular = 1;
        state.couples[0].partnerDances[0] = QStringLiteral("WS");
        state.couples[0].danceFlags[5] = 0;
        QCOMPARE(store_couple(state, edit, QStringLiteral("5"), prompter), StoreCoupleResult::Stored);
        const CoupleRecord& stored = state.couples[0];
        QCOMPARE(stored.partnerCount, 1);
        QCOMPARE(stored.regular, quint8(1));
        QCOMPARE(stored.partnerDances, QStringList{QStringLiteral("WS")});
        QCOMPARE(stored.danceFlags, (QList<qint32>{0, -1, -1, -1, -1, 0, -1, -1})); // T went with B
        QVERIFY(edited_couple_still_there(state, edit));
    }

    // After a change of partners the flags are the dances of the partners left (a dance string stays with its
    // place); the same partners leave the flags as they were.
    void partnerChangeSetsFlags_data() {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QString>("flagged"); // the codes whose flag is 0 afterwards
        QTest::newRow("same partners") << names("A,B,C") << QStringLiteral("WTSP");
        QTest::newRow("the third taken out") << names("A,B") << QStringLiteral("WT");
        QTest::newRow("the third replaced") << names("A,B,D") << QStringLiteral("WTS");
    }
    void partnerChangeSetsFlags() {
        QFETCH(QStringList, chosen);
        QFETCH(QString, flagged);
        AppState state;
        state.couples = {couple(5, dancer("L", 3, 0), {dancer("A", 2, 1), dancer("B", 2, 1), dancer("C", 2, 1)},
                                {QStringLiteral("W"), QStringLiteral("WT"), QStringLiteral("S")})};
        state.coupleCount = 1;
        state.couples[0].danceFlags[7] = 0; // brought by the file, danced by no partner
        ScriptedPrompter prompter;
        CoupleEdit edit = *begin_couple_edit(state, 0);
        QList<MemberRecord> partners;
        for (const QString& name : chosen)
            partners << dancer(name.toUtf8().constData(), 2, 1);
        QVERIFY(choose_partners(edit.working, partners, prompter));
        QCOMPARE(store_couple(state, edit, QStringLiteral("5"), prompter), StoreCoupleResult::Stored);
        for (int d = 0; d < 8; ++d)
            QCOMPARE(state.couples[0].danceFlags[d], flagged.contains(QStringLiteral("WTFQCSRP").at(d)) ? 0 : -1);
    }

    // The leader and partners of another couple, in any order, are stored again only after a Yes.
    void sameDancersAsked() {
        AppState state = oneCouple();
        ScriptedPrompter prompter;
        CoupleEdit edit = *begin_couple_edit(state, -1);
        edit.working.leader = dancer("L", 3, 0);
        QVERIFY(choose_partners(edit.working, {dancer("B", 2, 1), dancer("A", 2, 1)}, prompter));
        QCOMPARE(store_couple(state, edit, QStringLiteral("6"), prompter), StoreCoupleResult::Refused);
        QCOMPARE(prompter.questions(),
                 QStringList{QStringLiteral("背番号 5 のカップルと同じリーダーとパートナーです。\n"
                                            "同じカップルをもう一組登録しますか？")});
        QVERIFY(!prompter.shown().first().yesPreselected);
        prompter.setNextAnswer(true);
        QCOMPARE(store_couple(state, edit, QStringLiteral("6"), prompter), StoreCoupleResult::Stored);
        QCOMPARE(state.coupleCount, 2);
    }

    void storeIntoACoupleThatIsGone_data() {
        QTest::addColumn<int>("change");
        QTest::newRow("deleted") << 0;
        QTest::newRow("another couple at its place") << 1;
        QTest::newRow("its partner removed") << 2;
    }
    void storeIntoACoupleThatIsGone() {
        QFETCH(int, change);
        AppState state = oneCouple();
        ScriptedPrompter prompter;
        CoupleEdit edit = *begin_couple_edit(state, 0);
        if (change == 0)
            state.coupleCount = 0;
        else if (change == 1)
            state.couples[0] = couple(9, dancer("X", 1, 0), {dancer("Y", 1, 1)});
        else
            state.couples[0].partnerCount = 1;
        QVERIFY(!edited_couple_still_there(state, edit));
        const AppState before = state;
        QCOMPARE(store_couple(state, edit, QStringLiteral("5"), prompter), StoreCoupleResult::Gone);
        QCOMPARE(state, before);
        QCOMPARE(prompter.messages().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCoupleEdit)
#include "tst_coupleedit.moc"
