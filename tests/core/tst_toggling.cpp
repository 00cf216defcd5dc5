#include "couplegrid.h"
#include "scriptedprompter.h"
#include "testfiles.h"
#include "toggling.h"

#include <QtTest>

using testfiles::couple;
using testfiles::member;

namespace {

MemberRecord person(const char* name, quint8 role) {
    return member(QString::fromUtf8(name), {}, 1, role);
}

// Three single couples (the second dances Tango) and one couple with two partners that dance Tango and Samba.
AppState fourCouples() {
    AppState state;
    state.couples = {
        couple(1, person("L1", 0), {person("P1", 1)}, {QStringLiteral("W")}),
        couple(2, person("L2", 0), {person("P2", 1)}, {QStringLiteral("QT")}),
        couple(3, person("L3", 0), {person("P3", 1)}, {QString()}),
        couple(4, person("L4", 0), {person("P4", 1), person("P5", 1)}, {QStringLiteral("T"), QStringLiteral("S")})};
    state.coupleCount = 4;
    return state;
}

int rowOf(const CoupleGridRows& rows, qint32 couple, qint32 partner) {
    for (int r = 1; r < rows.size(); ++r) {
        if (rows[r].couple == couple && rows[r].partner == partner)
            return r;
    }
    return -1;
}

} // namespace

class TestToggling : public QObject {
    Q_OBJECT
private slots:
    void danceCellSwitchesCodeAndFlag() {
        AppState state = fourCouples();
        state.couples[0].partnerDances[0] = QStringLiteral("WQ");
        state.couples[0].danceFlags[3] = 0;
        ScriptedPrompter prompter;
        qint32 c = -1, p = -1;
        const CoupleGridRows rows = build_couple_grid_rows(state);
        const GridCursor walts{rowOf(rows, 0, 0), kGridColFirstDance, rowOf(rows, 0, 0)};
        couple_grid_click(state, rows, walts, c, p, prompter);
        QCOMPARE(state.couples[0].partnerDances[0], QStringLiteral("Q"));
        QCOMPARE(state.couples[0].danceFlags[0], -1);
        QCOMPARE(state.entryChanged, true);
        couple_grid_click(state, build_couple_grid_rows(state), walts, c, p, prompter);
        QCOMPARE(state.couples[0].partnerDances[0], QStringLiteral("QW"));
        QCOMPARE(state.couples[0].danceFlags[0], 0);
        QVERIFY(prompter.shown().isEmpty());
    }

    void secondPartnerMayShareADance() {
        AppState state = fourCouples();
        const CoupleGridRows rows = build_couple_grid_rows(state);
        ScriptedPrompter prompter;
        qint32 c = 0, p = 0;
        const int row = rowOf(rows, 3, 0);
        couple_grid_click(state, rows, {row, kGridColFirstDance + 5, row}, c, p, prompter); // Samba
        QCOMPARE(state.couples[3].partnerDances, QStringList({QStringLiteral("TS"), QStringLiteral("S")}));
        QVERIFY(prompter.shown().isEmpty());
    }

    // A couple's flag says that some partner dances the dance, whichever partner's cell was switched.
    void flagsFollowEveryPartner_data() {
        QTest::addColumn<QStringList>("dances"); // the partners' strings before the click
        QTest::addColumn<int>("partner");
        QTest::addColumn<int>("dance");
        QTest::addColumn<QString>("flagged"); // the codes whose flag is 0 after the click
        const auto list = [](const char* strings) { return QString::fromLatin1(strings).split(QLatin1Char(',')); };
        QTest::newRow("both on Samba, one off") << list("S,S") << 1 << 5 << QStringLiteral("S");
        QTest::newRow("the second takes the first's Tango") << list("T,") << 1 << 1 << QStringLiteral("T");
        QTest::newRow("three, a shared Walts off") << list("W,WQ,R") << 0 << 0 << QStringLiteral("WQR");
        QTest::newRow("three, the only Rumba off") << list("W,WQ,R") << 2 << 6 << QStringLiteral("WQ");
    }
    void flagsFollowEveryPartner() {
        QFETCH(QStringList, dances);
        QFETCH(int, partner);
        QFETCH(int, dance);
        QFETCH(QString, flagged);
        AppState state;
        state.couples = {couple(1, person("L", 0), QList<MemberRecord>(dances.size(), person("P", 1)), dances)};
        state.coupleCount = 1;
        ScriptedPrompter prompter;
        qint32 c = 0, p = 0;
        const CoupleGridRows rows = build_couple_grid_rows(state);
        const int row = rowOf(rows, 0, partner);
        couple_grid_click(state, rows, {row, kGridColFirstDance + dance, row}, c, p, prompter);
        for (int d = 0; d < 8; ++d)
            QCOMPARE(state.couples[0].danceFlags[d], flagged.contains(QStringLiteral("WTFQCSRP").at(d)) ? 0 : -1);
    }

    void headerInversion_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void headerInversion() {
        QFETCH(bool, yes);
        AppState state = fourCouples();
        const AppState before = state;
        const CoupleGridRows rows = build_couple_grid_rows(state);
        ScriptedPrompter prompter;
        prompter.setNextAnswer(yes);
        qint32 c = 2, p = 1;
        couple_grid_click(state, rows, {0, kGridColFirstDance + 1, 0}, c, p, prompter);
        QCOMPARE(
            prompter.questions(),
            QStringList{QStringLiteral("シングルのカップルのみ T　の出場種目表示を反転させます。よろしいですか？")});
        QCOMPARE(prompter.shown().first().icon, Prompter::Icon::Information);
        QCOMPARE(c, 2);
        if (!yes) {
            QCOMPARE(state.couples, before.couples);
            QCOMPARE(state.entryChanged, false);
            QCOMPARE(p, 1);
            return;
        }
        QCOMPARE(p, 0);
        QCOMPARE(state.entryChanged, true);
        QCOMPARE(state.couples[0].partnerDances[0], QStringLiteral("WT"));
        QCOMPARE(state.couples[0].danceFlags[1], 0);
        QCOMPARE(state.couples[1].partnerDances[0], QStringLiteral("Q"));
        QCOMPARE(state.couples[1].danceFlags[1], -1);
        QCOMPARE(state.couples[2].partnerDances[0], QStringLiteral("T"));
        QCOMPARE(state.couples[3], before.couples[3]);
    }

    void headerCellsWithoutSwitch_data() {
        QTest::addColumn<int>("column");
        QTest::newRow("背番号") << int(kGridColBackNumber);
        QTest::newRow("Leader") << int(kGridColLeader);
        QTest::newRow("Reguler") << int(kGridColRegular);
        QTest::newRow("MorL") << int(kGridColSection);
    }
    void headerCellsWithoutSwitch() {
        QFETCH(int, column);
        AppState state = fourCouples();
        const AppState before = state;
        ScriptedPrompter prompter;
        prompter.defaultAnswer = true;
        qint32 c = 0, p = 0;
        couple_grid_click(state, build_couple_grid_rows(state), {0, column, 0}, c, p, prompter);
        QVERIFY(prompter.shown().isEmpty());
        QCOMPARE(state.couples, before.couples);
        QCOMPARE(state.entryChanged, false);
    }

    void sectionAndRegularCycles() {
        AppState state = fourCouples();
        state.couples[3].section = 1;
        ScriptedPrompter prompter;
        qint32 c = 0, p = 0;
        const CoupleGridRows rows = build_couple_grid_rows(state);
        const int second = rowOf(rows, 3, 1);
        QList<quint8> sections;
        for (int i = 0; i < 3; ++i) {
            couple_grid_click(state, rows, {second, kGridColSection, second}, c, p, prompter);
            sections << state.couples[3].section;
        }
        QCOMPARE(sections, QList<quint8>({2, 0, 1}));
        couple_grid_click(state, rows, {second, kGridColRegular, second}, c, p, prompter);
        QCOMPARE(state.couples[3].regular, quint8(1));
        couple_grid_click(state, rows, {second, kGridColRegular, second}, c, p, prompter);
        QCOMPARE(state.couples[3].regular, quint8(0));
        state.couples[0].section = 7;
        cycle_section(state, 0);
        QCOMPARE(state.couples[0].section, quint8(0));
    }

    void leaderClickOnlySelects() {
        AppState state = fourCouples();
        const AppState before = state;
        const CoupleGridRows rows = build_couple_grid_rows(state);
        ScriptedPrompter prompter;
        qint32 c = 0, p = 0;
        const int row = rowOf(rows, 3, 1);
        couple_grid_click(state, rows, {row, kGridColLeader, row}, c, p, prompter);
        QCOMPARE(c, 3);
        QCOMPARE(p, 1);
        QCOMPARE(state.couples, before.couples);
        QCOMPARE(state.entryChanged, false);
    }

    void positionsOutsideTheListAreIgnored() {
        AppState state = fourCouples();
        const CoupleGridRows rows = build_couple_grid_rows(state);
        state.coupleCount = 1; // the grid is older than the list
        const AppState before = state;
        ScriptedPrompter prompter;
        qint32 c = 0, p = 0;
        const int row = rowOf(rows, 3, 1);
        couple_grid_click(state, rows, {row, kGridColFirstDance, row}, c, p, prompter);
        couple_grid_click(state, rows, {99, kGridColFirstDance, 99}, c, p, prompter);
        toggle_dance(state, 0, 5, 0);
        toggle_dance(state, 0, 0, 8);
        toggle_regular(state, -1);
        cycle_section(state, 4);
        QCOMPARE(state.couples, before.couples);
        QCOMPARE(state.entryChanged, false);
    }
};

QTEST_GUILESS_MAIN(TestToggling)
#include "tst_toggling.moc"
