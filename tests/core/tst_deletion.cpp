#include "couplegrid.h"
#include "deletion.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QtTest>

using testfiles::couple;
using testfiles::member;

namespace {

MemberRecord person(const char* name, quint8 role) {
    return member(QString::fromUtf8(name), {}, 1, role);
}

// Stored order A(10), B(7, three partners), C(3), D(20, two partners). Grid rows: 1 = C, 2..4 = B, 5 = A, 6..7 = D.
AppState entry() {
    AppState state;
    state.couples = {
        couple(10, person("LA", 0), {person("PA", 1)}, {QStringLiteral("W")}),
        couple(7, person("LB", 0), {person("B1", 1), person("B2", 1), person("B3", 1)},
               {QStringLiteral("WS"), QStringLiteral("RS"), QStringLiteral("F")}),
        couple(3, person("LC", 0), {person("PC", 1)}, {QStringLiteral("T")}),
        couple(20, person("LD", 0), {person("D1", 1), person("D2", 1)}, {QStringLiteral("C"), QStringLiteral("P")})};
    state.coupleCount = 4;
    return state;
}

QList<qint32> backNumbers(const AppState& state) {
    QList<qint32> numbers;
    for (qint32 i = 0; i < state.coupleCount; ++i)
        numbers << state.couples[i].backNumber;
    return numbers;
}

} // namespace

class TestDeletion : public QObject {
    Q_OBJECT
private slots:
    void singleRow_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QList<qint32>>("left");
        QTest::newRow("one-partner couple, dance cell")
            << 5 << 6 << QStringLiteral("10 番を消去します。よろしいですか？") << QList<qint32>{7, 3, 20};
        QTest::newRow("back number of first row")
            << 2 << 0 << QStringLiteral("7 番を消去します。よろしいですか？") << QList<qint32>{10, 3, 20};
        QTest::newRow("leader of first row")
            << 2 << 1 << QStringLiteral("7 番を消去します。よろしいですか？") << QList<qint32>{10, 3, 20};
        QTest::newRow("leader column of a later row is a partner")
            << 3 << 1 << QStringLiteral("7 番の B2 を消去します。よろしいですか？") << QList<qint32>{10, 7, 3, 20};
        QTest::newRow("partner on first row")
            << 2 << 2 << QStringLiteral("7 番の B1 を消去します。よろしいですか？") << QList<qint32>{10, 7, 3, 20};
    }
    void singleRow() {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, question);
        QFETCH(QList<qint32>, left);
        for (bool yes : {false, true}) {
            AppState state = entry();
            const AppState before = state;
            ScriptedPrompter prompter;
            prompter.setNextAnswer(yes);
            GridCursor cursor{row, column, row};
            qint32 c = 99, p = 99; // stale: beyond the list
            delete_couples(state, build_couple_grid_rows(state), cursor, c, p, prompter);
            QCOMPARE(prompter.questions(), QStringList{question});
            QCOMPARE(prompter.shown().first().icon, Prompter::Icon::Information);
            if (!yes) {
                QCOMPARE(state.couples, before.couples);
                QCOMPARE(state.entryChanged, false);
                continue;
            }
            QCOMPARE(backNumbers(state), left);
            QCOMPARE(state.entryChanged, true);
        }
    }

    void partnerOfThree() {
        AppState state = entry();
        const AppState before = state;
        ScriptedPrompter prompter;
        prompter.setNextAnswer(true);
        GridCursor cursor{3, 2, 3};
        qint32 c = 0, p = 0;
        delete_couples(state, build_couple_grid_rows(state), cursor, c, p, prompter);
        QCOMPARE(c, 1);
        QCOMPARE(p, 1);
        QCOMPARE(cursor.row, 0);
        const CoupleRecord& b = state.couples[1];
        QCOMPARE(b.partnerCount, 2);
        QCOMPARE(b.partners, QList<MemberRecord>({person("B1", 1), person("B3", 1)}));
        QCOMPARE(b.partnerDances, QStringList({QStringLiteral("WS"), QStringLiteral("F")}));
        // Walts, Fox and Samba remain; Rumba was only the removed partner's.
        QCOMPARE(b.danceFlags, QList<qint32>({0, -1, 0, -1, -1, 0, -1, -1}));
        QCOMPARE(b.leader, before.couples[1].leader);
        QCOMPARE(state.couples[0], before.couples[0]);
        QCOMPARE(state.couples[2], before.couples[2]);
        QCOMPARE(state.couples[3], before.couples[3]);
        QCOMPARE(state.coupleCount, 4);
        QCOMPARE(state.entryChanged, true);
    }

    void ranges_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("otherRow");
        QTest::addColumn<QList<qint32>>("left");
        QTest::newRow("parts of three couples") << 4 << 6 << QList<qint32>{3};
        QTest::newRow("upwards") << 6 << 4 << QList<qint32>{3};
        QTest::newRow("from the title row") << 0 << 1 << QList<qint32>{10, 7, 20};
    }
    void ranges() {
        QFETCH(int, row);
        QFETCH(int, otherRow);
        QFETCH(QList<qint32>, left);
        AppState state = entry();
        ScriptedPrompter prompter;
        prompter.setNextAnswer(true);
        GridCursor cursor{row, 3, otherRow};
        qint32 c = 0, p = 0;
        delete_couples(state, build_couple_grid_rows(state), cursor, c, p, prompter);
        QCOMPARE(prompter.questions(),
                 QStringList{QStringLiteral("選択されているカップル消去します。よろしいですか？")});
        QCOMPARE(backNumbers(state), left);
        QCOMPARE(state.couples.size(), left.size());
        QCOMPARE(state.entryChanged, true);
    }

    void lastCoupleLeavesEmptyEntry() {
        AppState state;
        state.couples = {couple(5, person("L", 0), {person("P", 1)}, {QStringLiteral("W")})};
        state.coupleCount = 1;
        ScriptedPrompter prompter;
        prompter.setNextAnswer(true);
        GridCursor cursor{1, 2, 1};
        qint32 c = 0, p = 0;
        delete_couples(state, build_couple_grid_rows(state), cursor, c, p, prompter);
        QCOMPARE(state.coupleCount, 0);
        QCOMPARE(state.couples, QList<CoupleRecord>{CoupleRecord{}});
        QCOMPARE(build_couple_grid_rows(state).size(), 1);
    }

    void titleRowAloneDeletesNothing() {
        AppState state = entry();
        const AppState before = state;
        ScriptedPrompter prompter;
        prompter.defaultAnswer = true;
        GridCursor cursor{0, 0, 0};
        qint32 c = 1, p = 2;
        delete_couples(state, build_couple_grid_rows(state), cursor, c, p, prompter);
        QVERIFY(prompter.shown().isEmpty());
        QCOMPARE(state.couples, before.couples);
        QCOMPARE(state.entryChanged, false);
    }

    void staleGridRowBeyondTheList() {
        AppState state = entry();
        const CoupleGridRows rows = build_couple_grid_rows(state);
        state.coupleCount = 2; // the list shrank after the grid was built
        const AppState before = state;
        ScriptedPrompter prompter;
        prompter.defaultAnswer = true;
        GridCursor cursor{6, 0, 6}; // couple 3, no longer in the list
        qint32 c = 0, p = 0;
        delete_couples(state, rows, cursor, c, p, prompter);
        QCOMPARE(state.couples, before.couples);
        remove_partner(state, 3, 0);
        remove_partner(state, 0, 0); // the only partner stays
        QCOMPARE(state.couples, before.couples);
    }
};

QTEST_GUILESS_MAIN(TestDeletion)
#include "tst_deletion.moc"
