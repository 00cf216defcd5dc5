#include "coupleedit.h"
#include "couplegrid.h"
#include "deletion.h"
#include "edithistory.h"
#include "entrycommands.h"
#include "export.h"
#include "memberimport.h"
#include "roster.h"
#include "scriptedprompter.h"
#include "testfiles.h"
#include "toggling.h"
#include "yearadvance.h"

#include <QtTest>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

using testfiles::couple;
using testfiles::member;

namespace {

// Makes edits of every kind the user can make on a roster and an entry, each through the core operation the
// windows call, choosing members, couples, rows and cells at random.
class RandomEditor {
public:
    RandomEditor(AppState& state, quint32 seed) : m_state(state), m_random(seed) { m_prompter.defaultAnswer = true; }

    // Every kind once, in a random order.
    void editRound() {
        std::vector<std::function<void()>> kinds = {
            [this] { storeMember(-1); },
            [this] { storeMember(anyMember()); },
            [this] { deleteMembers(); },
            [this] { importMembers(); },
            [this] { storeCouple(-1); },
            [this] { storeCouple(anyCouple()); },
            [this] { deleteCouples(); },
            [this] { clickCell(kGridColFirstDance + pick(8)); },
            [this] { clickCell(kGridColRegular); },
            [this] { clickCell(kGridColSection); },
            [this] { clickTitle(); },
            [this] { stampForExport(); },
        };
        std::shuffle(kinds.begin(), kinds.end(), m_random);
        for (const auto& edit : kinds)
            edit();
    }

private:
    int pick(int count) { return count > 0 ? int(m_random() % quint32(count)) : -1; }
    qint32 anyMember() { return pick(m_state.memberCount); }
    qint32 anyCouple() { return pick(m_state.coupleCount); }
    QString nextName() { return QStringLiteral("人%1").arg(++m_counter); }
    QList<MemberRecord> withRole(quint8 role) const {
        QList<MemberRecord> found;
        for (const MemberRecord& m : m_state.roster())
            if (m.role == role)
                found << m;
        return found;
    }

    void storeMember(qint32 position) {
        const std::optional<MemberEdit> edit = begin_member_edit(m_state, position);
        if (!edit)
            return;
        const MemberInput input{nextName(), QStringLiteral("かな"),       {},
                                {},         QString::number(1 + pick(4)), quint8(pick(2))};
        store_member(m_state, *edit, input, m_prompter);
    }
    void deleteMembers() {
        QList<qint32> positions;
        for (qint32 i = 0; i < m_state.memberCount; ++i)
            if (pick(4) == 0)
                positions << i;
        delete_members(m_state, positions, m_prompter);
    }
    void importMembers() {
        const QList<QStringList> table = {{nextName(), QStringLiteral("かな"), QStringLiteral("2"), {}, {}, {}},
                                          {nextName(), QStringLiteral("かな"), QStringLiteral("3"), {}, {}, {}}};
        import_members(m_state, member_candidates(table, m_state), quint8(pick(2)));
    }
    void storeCouple(qint32 position) {
        std::optional<CoupleEdit> edit = begin_couple_edit(m_state, position);
        const QList<MemberRecord> leaders = withRole(0);
        QList<MemberRecord> partners = withRole(1);
        if (!edit || leaders.isEmpty() || partners.isEmpty())
            return;
        edit->working.leader = leaders[pick(int(leaders.size()))];
        std::shuffle(partners.begin(), partners.end(), m_random);
        choose_partners(edit->working, partners.mid(0, 1 + pick(int(std::min<qsizetype>(partners.size(), 4)))),
                        m_prompter);
        const qint32 number = position < 0 ? 100 + ++m_counter : m_state.couples[position].backNumber;
        store_couple(m_state, *edit, QString::number(number), m_prompter);
    }
    void deleteCouples() {
        const CoupleGridRows rows = build_couple_grid_rows(m_state);
        GridCursor cursor{1 + pick(int(rows.size()) - 1), pick(kGridColumnCount), 0};
        cursor.otherRow = pick(3) == 0 ? 1 + pick(int(rows.size()) - 1) : cursor.row;
        qint32 currentCouple = 0;
        qint32 currentPartner = 0;
        delete_couples(m_state, rows, cursor, currentCouple, currentPartner, m_prompter);
    }
    void clickCell(int column) {
        const CoupleGridRows rows = build_couple_grid_rows(m_state);
        if (rows.size() <= 1)
            return;
        const int row = 1 + pick(int(rows.size()) - 1);
        qint32 currentCouple = 0;
        qint32 currentPartner = 0;
        couple_grid_click(m_state, rows, {row, column, row}, currentCouple, currentPartner, m_prompter);
    }
    void clickTitle() {
        qint32 currentCouple = 0;
        qint32 currentPartner = 0;
        const int column = kGridColFirstDance + pick(8);
        couple_grid_click(m_state, build_couple_grid_rows(m_state), {0, column, 0}, currentCouple, currentPartner,
                          m_prompter);
    }
    // The export stamps the couples before it asks where to write; the scripted file dialog is cancelled.
    void stampForExport() {
        m_state.universityInfo.gameName = QStringLiteral("大会%1").arg(++m_counter);
        export_entry(m_state, m_prompter);
    }

    AppState& m_state;
    ScriptedPrompter m_prompter;
    std::mt19937 m_random;
    int m_counter = 0;
};

struct Snapshot {
    AreaSnapshot roster;
    AreaSnapshot entry;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshotOf(const AppState& state) {
    return {take_snapshot(state, EditArea::Roster), take_snapshot(state, EditArea::Entry)};
}

AppState startingState(const QTemporaryDir& dir) {
    AppState state = testfiles::stateIn(dir);
    state.universityInfo.university = QStringLiteral("蒼嶺大学");
    state.members = {member(QStringLiteral("山田"), QStringLiteral("やまだ"), 1, 0),
                     member(QStringLiteral("佐藤"), QStringLiteral("さとう"), 2, 1),
                     member(QStringLiteral("鈴木"), QStringLiteral("すずき"), 3, 1),
                     member(QStringLiteral("田中"), QStringLiteral("たなか"), 3, 0)};
    state.memberCount = 4;
    state.couples = {
        couple(5, state.members[0], {state.members[1]}, {QStringLiteral("W")}),
        couple(7, state.members[3], {state.members[1], state.members[2]}, {QStringLiteral("TQ"), QStringLiteral("S")})};
    state.coupleCount = 2;
    state.entryFileName = QStringLiteral("t.ent");
    return state;
}

} // namespace

class TestUndoHistory : public QObject {
    Q_OBJECT
private slots:
    // Edits of every kind in a random order: undoing all of them gives back the start exactly, redoing all of
    // them the end; each edit that changed something is one step, each undo and redo marks its area changed.
    void undoAllAndRedoAll_data() {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 7u, 2024u, 65537u})
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }
    void undoAllAndRedoAll() {
        QFETCH(quint32, seed);
        QTemporaryDir dir;
        AppState state = startingState(dir);
        EditRecorder recorder(state);
        std::vector<EditStep> steps;
        connect(&recorder, &EditRecorder::stepRecorded, this, [&steps](const EditStep& s) { steps.push_back(s); });
        QSignalSpy ended(&recorder, &EditRecorder::historyEnded);

        const Snapshot start = snapshotOf(state);
        RandomEditor editor(state, seed);
        for (int round = 0; round < 5; ++round) {
            editor.editRound();
            QVERIFY(!steps.empty());
        }
        const Snapshot end = snapshotOf(state);
        QVERIFY(end != start);
        QCOMPARE(ended.count(), 0);
        QSet<QString> kinds;
        for (const EditStep& step : steps) {
            QVERIFY(step.before != step.after);
            kinds << step.text;
        }
        QCOMPARE(kinds.size(), 13); // every kind of edit left at least one step
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
        QCOMPARE(steps.size(), recorded); // undo and redo are no steps of their own
    }

    // A change that is no edit of the user ends the history of what it replaced.
    void changesThatEndTheHistory_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QList<int>>("ended"); // EditArea values, in order
        QTest::newRow("new entry file") << "new" << QList<int>{int(EditArea::Entry)};
        QTest::newRow("year advance") << "advance" << QList<int>{int(EditArea::Roster), int(EditArea::Entry)};
        QTest::newRow("save under another name") << "save as" << QList<int>{};
    }
    void changesThatEndTheHistory() {
        QFETCH(QString, change);
        QFETCH(QList<int>, ended);
        QTemporaryDir dir;
        AppState state = startingState(dir);
        EditRecorder recorder(state);
        QList<int> seen;
        connect(&recorder, &EditRecorder::historyEnded, this, [&seen](EditArea area) { seen << int(area); });
        ScriptedPrompter prompter;
        prompter.defaultAnswer = true;
        if (change == QLatin1String("new")) {
            prompter.setNextInput(QStringLiteral("新しい大会"));
            QVERIFY(command_new_entry(state, prompter));
        } else if (change == QLatin1String("advance")) {
            QVERIFY(command_year_advance(state, prompter, {}));
        } else {
            prompter.setNextInput(QStringLiteral("別名"));
            QVERIFY(command_save_entry_as(state, prompter));
        }
        QCOMPARE(seen, ended);
    }
};

QTEST_GUILESS_MAIN(TestUndoHistory)
#include "tst_undohistory.moc"
