#include "coupleedit.h"
#include "deletion.h"
#include "edithistory.h"
#include "export.h"
#include "memberimport.h"
#include "roster.h"
#include "scriptedprompter.h"
#include "testfiles.h"
#include "toggling.h"

#include <QtTest>

#include <functional>
#include <random>
#include <utility>

using testfiles::couple;
using testfiles::member;

namespace {

AppState startingState(const QTemporaryDir& dir) {
    AppState state = testfiles::stateIn(dir);
    state.members = {member(QStringLiteral("山田"), {}, 1, 0), member(QStringLiteral("佐藤"), {}, 2, 1),
                     member(QStringLiteral("鈴木"), {}, 3, 1), member(QStringLiteral("田中"), {}, 3, 0)};
    state.memberCount = 4;
    state.couples = {couple(5, state.members[0], {state.members[1]}, {QStringLiteral("W")}),
                     couple(7, state.members[3], {state.members[1], state.members[2]}, {QStringLiteral("TQ")})};
    state.coupleCount = 2;
    state.entryFileName = QStringLiteral("t.ent");
    return state;
}

// Every kind of edit, each through the core operation the windows call, on members, couples, rows and cells
// chosen at random.
std::vector<std::function<void()>> editsOfEveryKind(AppState& s, ScriptedPrompter& p, std::mt19937& random) {
    const auto pick = [&random](qsizetype count) { return count > 0 ? int(random() % quint32(count)) : 0; };
    const auto storeMember = [&s, &p, pick](qint32 position) {
        if (const std::optional<MemberEdit> edit = begin_member_edit(s, position))
            store_member(s, *edit,
                         {QStringLiteral("人%1").arg(pick(1000)), {}, {}, {}, QStringLiteral("2"), quint8(pick(2))}, p);
    };
    const auto storeCouple = [&s, &p, &random, pick](qint32 position) {
        std::optional<CoupleEdit> edit = begin_couple_edit(s, position);
        QList<MemberRecord> roles[2];
        for (const MemberRecord& m : s.roster())
            roles[m.role] << m;
        if (!edit || roles[0].isEmpty() || roles[1].isEmpty())
            return;
        edit->working.leader = roles[0][pick(roles[0].size())];
        std::shuffle(roles[1].begin(), roles[1].end(), random);
        choose_partners(edit->working, roles[1].mid(0, 1 + pick(std::min<qsizetype>(roles[1].size(), 4))), p);
        const qint32 number = position < 0 ? 100 + pick(100000) : s.couples[position].backNumber;
        store_couple(s, *edit, QString::number(number), p);
    };
    const auto gridClick = [&s, &p, pick](bool title, int column) {
        const CoupleGridRows rows = build_couple_grid_rows(s);
        const int row = title ? 0 : 1 + pick(rows.size() - 1);
        qint32 couple = 0, partner = 0;
        if (column < 0) { // the delete command on one row or on a range of rows
            GridCursor cursor{row, pick(kGridColumnCount), pick(3) == 0 ? 1 + pick(rows.size() - 1) : row};
            delete_couples(s, rows, cursor, couple, partner, p);
        } else if (rows.size() > 1) {
            couple_grid_click(s, rows, {row, column, row}, couple, partner, p);
        }
    };
    return {
        [=] { storeMember(-1); },
        [=, &s] { storeMember(pick(s.memberCount)); },
        [&s, &p, pick] {
            QList<qint32> positions;
            for (qint32 i = 0; i < s.memberCount; ++i)
                if (pick(4) == 0)
                    positions << i;
            delete_members(s, positions, p);
        },
        [&s, pick] {
            const QList<QStringList> table = {{QStringLiteral("新%1").arg(pick(1000)), {}, QStringLiteral("1")},
                                              {QStringLiteral("新%1").arg(pick(1000)), {}, QStringLiteral("4")}};
            import_members(s, member_candidates(table, s), quint8(pick(2)));
        },
        [=] { storeCouple(-1); },
        [=, &s] { storeCouple(pick(s.coupleCount)); },
        [=] { gridClick(false, -1); },
        [=] { gridClick(false, kGridColFirstDance + pick(8)); },
        [=] { gridClick(false, kGridColRegular); },
        [=] { gridClick(false, kGridColSection); },
        [=] { gridClick(true, kGridColFirstDance + pick(8)); },
        [&s, &p, pick] { // the export stamps the names, then its file dialog is cancelled
            s.universityInfo.gameName = QStringLiteral("大会%1").arg(pick(1000));
            export_entry(s, p);
        },
    };
}

std::pair<AreaSnapshot, AreaSnapshot> snapshotOf(const AppState& state) {
    return {take_snapshot(state, EditArea::Roster), take_snapshot(state, EditArea::Entry)};
}

} // namespace

class TestUndoHistory : public QObject {
    Q_OBJECT
private slots:
    // Edits of every kind in a random order, each kind eight times: undoing all of them gives back the start
    // exactly, redoing all of them the end. Each edit that changed something is one step, and every undo and redo
    // marks its area changed without becoming a step itself.
    void undoAllAndRedoAll_data() {
        QTest::addColumn<quint32>("seed");
        for (const quint32 seed : {1u, 7u, 2024u, 65537u})
            QTest::addRow("seed %u", seed) << seed;
    }
    void undoAllAndRedoAll() {
        QFETCH(quint32, seed);
        QTemporaryDir dir;
        AppState state = startingState(dir);
        EditRecorder recorder(state);
        std::vector<EditStep> steps;
        connect(&recorder, &EditRecorder::stepRecorded, this, [&steps](const EditStep& s) { steps.push_back(s); });
        QSignalSpy ended(&recorder, &EditRecorder::historyEnded);
        ScriptedPrompter prompter;
        prompter.defaultAnswer = true;
        std::mt19937 random(seed);
        std::vector<std::function<void()>> edits = editsOfEveryKind(state, prompter, random);

        const auto start = snapshotOf(state);
        for (int round = 0; round < 8; ++round) {
            std::shuffle(edits.begin(), edits.end(), random);
            for (const auto& edit : edits)
                edit();
        }
        const auto end = snapshotOf(state);
        QSet<QString> kinds;
        for (const EditStep& step : steps) {
            QVERIFY(step.before != step.after);
            kinds << step.text;
        }
        // Every kind of edit left a step, the two kinds of deletion included, and a member change that the couples
        // took too (メンバー変更の反映).
        QCOMPARE(kinds.size(), 14);
        QCOMPARE(ended.count(), 0);

        const size_t recorded = steps.size();
        for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
            state.membersChanged = state.entryChanged = false;
            recorder.undo(*step);
            QCOMPARE(state.membersChanged, step->area == EditArea::Roster);
            QCOMPARE(state.entryChanged, step->area == EditArea::Entry);
        }
        QVERIFY(snapshotOf(state) == start);
        for (const EditStep& step : steps)
            recorder.redo(step);
        QVERIFY(snapshotOf(state) == end);
        QCOMPARE(steps.size(), recorded);
    }
};

QTEST_GUILESS_MAIN(TestUndoHistory)
#include "tst_undohistory.moc"
