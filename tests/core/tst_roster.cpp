// The rules of the roster: member lists, the member editor's 決定 and the deletion of members.

#include "datafiles.h"
#include "roster.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QSignalSpy>
#include <QTest>

using testfiles::member;

namespace {

AppState threeMembers() {
    AppState state;
    state.members = {member(QStringLiteral("山田"), QStringLiteral("やまだ"), 2, 0),
                     member(QStringLiteral("伊藤"), QStringLiteral("いとう"), 1, 1),
                     member(QStringLiteral("阿部"), QStringLiteral("あべ"), 2, 0)};
    state.memberCount = 3;
    return state;
}

MemberInput typed(const QString& name, const QString& year) {
    return {name, QStringLiteral("かな"), QStringLiteral("高校"), QStringLiteral("学部"), year, 1};
}

} // namespace

class TestRoster : public QObject {
    Q_OBJECT
private slots:
    void leaderAndPartner_data() {
        QTest::addColumn<QList<quint8>>("roles");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("both");
        QTest::newRow("empty") << QList<quint8>{} << 0 << false;
        QTest::newRow("leaders only") << QList<quint8>{0, 0} << 2 << false;
        QTest::newRow("partners only") << QList<quint8>{1} << 1 << false;
        QTest::newRow("both") << QList<quint8>{1, 0} << 2 << true;
        QTest::newRow("partner beyond the count") << QList<quint8>{0, 1} << 1 << false;
    }
    void leaderAndPartner() {
        QFETCH(QList<quint8>, roles);
        QFETCH(int, count);
        QFETCH(bool, both);
        AppState state;
        for (quint8 role : roles)
            state.members.append(member(QStringLiteral("x"), QStringLiteral("x"), 1, role));
        state.memberCount = count;
        QCOMPARE(has_leader_and_partner(state), both);
    }

    void membersByKana() {
        AppState state = threeMembers();
        state.members.append(member(QStringLiteral("上野"), QStringLiteral("うえの"), 3, 0));
        state.members.append(member(QStringLiteral("阿部二"), QStringLiteral("あべ"), 2, 0)); // same reading
        state.memberCount = 5;
        QCOMPARE(members_by_kana(state, 0, 0), (QList<qint32>{2, 4, 3, 0}));
        QCOMPARE(members_by_kana(state, 0, 2), (QList<qint32>{2, 4, 0}));
        QCOMPARE(members_by_kana(state, 1, 0), QList<qint32>{1});
        QCOMPARE(members_by_kana(state, 1, 4), QList<qint32>{});
    }

    void deleteMembers_data() {
        QTest::addColumn<QList<qint32>>("positions");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("question"); // "" : nothing asked
        QTest::addColumn<QStringList>("left");
        const QStringList all = {QStringLiteral("山田"), QStringLiteral("伊藤"), QStringLiteral("阿部")};
        QTest::newRow("one, yes") << QList<qint32>{1} << true << QStringLiteral("伊藤 を消去します。よろしいですか？")
                                  << QStringList{QStringLiteral("山田"), QStringLiteral("阿部")};
        QTest::newRow("two, yes") << QList<qint32>{0, 2} << true
                                  << QStringLiteral("現在選択中のメンバー を消去します。よろしいですか？")
                                  << QStringList{QStringLiteral("伊藤")};
        QTest::newRow("all, yes") << QList<qint32>{0, 1, 2} << true
                                  << QStringLiteral("現在選択中のメンバー を消去します。よろしいですか？")
                                  << QStringList{};
        QTest::newRow("no") << QList<qint32>{1} << false << QStringLiteral("伊藤 を消去します。よろしいですか？")
                            << all;
        QTest::newRow("none selected") << QList<qint32>{} << true << QString() << all;
        QTest::newRow("a row left from before") << QList<qint32>{0, 3} << true << QString() << all;
    }
    void deleteMembers() {
        QFETCH(QList<qint32>, positions);
        QFETCH(bool, yes);
        QFETCH(QString, question);
        QFETCH(QStringList, left);
        AppState state = threeMembers();
        ScriptedPrompter prompter;
        prompter.setNextAnswer(yes);
        QSignalSpy told(state.notifier.get(), &StateNotifier::rosterChanged);
        const bool deleted = delete_members(state, positions, prompter);
        QCOMPARE(prompter.questions(), question.isEmpty() ? QStringList() : QStringList{question});
        QStringList names;
        for (const MemberRecord& m : state.roster())
            names << m.name;
        QCOMPARE(names, left);
        QCOMPARE(deleted, names.size() < 3);
        QCOMPARE(state.membersChanged, deleted);
        QCOMPARE(told.size(), deleted ? 1 : 0);
        for (const MemberRecord& m : state.roster())
            QCOMPARE(m.deleteMark, quint8(0));
    }

    void storeMember_data() {
        QTest::addColumn<qint32>("position");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("message"); // "" : stored
        QTest::addColumn<int>("field");
        QTest::newRow("new") << -1 << QStringLiteral("林") << QStringLiteral("２") << QString() << 0;
        QTest::newRow("edit") << 1 << QStringLiteral("林") << QStringLiteral("3.5") << QString() << 0;
        QTest::newRow("year not a number") << -1 << QStringLiteral("林") << QStringLiteral("x")
                                           << QStringLiteral("回生に数値以外を入力しないで下さい。") << 0;
        QTest::newRow("year empty") << -1 << QStringLiteral("林") << QString()
                                    << QStringLiteral("回生に数値以外を入力しないで下さい。") << 0;
        QTest::newRow("year 5") << -1 << QStringLiteral("林") << QStringLiteral("5")
                                << QStringLiteral("回生は１から４までの数値です。") << 0;
        QTest::newRow("year before name")
            << -1 << QString() << QStringLiteral("0") << QStringLiteral("回生は１から４までの数値です。") << 0;
        QTest::newRow("no name") << 0 << QString() << QStringLiteral("1")
                                 << QStringLiteral("名前は必ず入力してください。") << 0;
        QTest::newRow("unstorable name") << -1 << QStringLiteral("𠮷田") << QStringLiteral("1")
                                         << QStringLiteral("「名前」に保存できない文字「𠮷」(U+20BB7)") << 1;
        // A pasted line break or tab would break every table and text export made from the roster.
        QTest::newRow("line break in a name") << -1 << QStringLiteral("山田\r\n太郎") << QStringLiteral("1")
                                              << QStringLiteral("「名前」に改行が含まれています。") << 1;
        QTest::newRow("tab in a name, edited") << 0 << QStringLiteral("山\t田") << QStringLiteral("1")
                                               << QStringLiteral("「名前」にタブが含まれています。") << 1;
    }

    // A roster at its bound takes no new member, but its members can still be changed.
    void storeMemberAtTheBound() {
        AppState state = threeMembers();
        state.members.resize(kMaxMembers);
        state.memberCount = kMaxMembers;
        ScriptedPrompter prompter;
        QCOMPARE(store_member(state, *begin_member_edit(state, -1), typed(QStringLiteral("林"), QStringLiteral("1")),
                              prompter)
                     .result,
                 StoreMemberOutcome::Refused);
        QCOMPARE(prompter.messages(),
                 QStringList{QStringLiteral("メンバーは 20,000 人までです。これ以上追加できません。")});
        QCOMPARE(state.memberCount, kMaxMembers);
        QCOMPARE(store_member(state, *begin_member_edit(state, 0), typed(QStringLiteral("林"), QStringLiteral("1")),
                              prompter)
                     .result,
                 StoreMemberOutcome::Stored);
    }
    void storeMember() {
        QFETCH(qint32, position);
        QFETCH(QString, name);
        QFETCH(QString, year);
        QFETCH(QString, message);
        QFETCH(int, field);
        AppState state = threeMembers();
        const AppState before = state;
        ScriptedPrompter prompter;
        QSignalSpy told(state.notifier.get(), &StateNotifier::rosterChanged);
        const StoreMemberOutcome outcome =
            store_member(state, *begin_member_edit(state, position), typed(name, year), prompter);
        QCOMPARE(int(outcome.field), field);
        if (!message.isEmpty()) {
            QCOMPARE(outcome.result, StoreMemberOutcome::Refused);
            QCOMPARE(prompter.messages().size(), 1);
            QVERIFY2(prompter.messages().first().startsWith(message), qPrintable(prompter.messages().first()));
            QCOMPARE(state, before);
            QCOMPARE(told.size(), 0);
            return;
        }
        QCOMPARE(outcome.result, StoreMemberOutcome::Stored);
        QCOMPARE(state.memberCount, position < 0 ? 4 : 3);
        const MemberRecord& stored = state.members[position < 0 ? 3 : position];
        QCOMPARE(stored.name, name);
        QCOMPARE(stored.year, quint8(position < 0 ? 2 : 4));
        QCOMPARE(stored.role, quint8(1));
        QCOMPARE(state.membersChanged, true);
        QCOMPARE(told.size(), 1);
    }

    // A name and kana that another member has already are stored only after a question naming that member.
    void sameNameAndKanaAsked_data() {
        QTest::addColumn<qint32>("position");
        QTest::addColumn<QString>("kana");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("asked");
        QTest::newRow("new, No") << -1 << QStringLiteral("やまだ") << false << true;
        QTest::newRow("another renamed, Yes") << 2 << QStringLiteral("やまだ") << true << true;
        QTest::newRow("itself, unchanged") << 0 << QStringLiteral("やまだ") << false << false;
    }
    void sameNameAndKanaAsked() {
        QFETCH(qint32, position);
        QFETCH(QString, kana);
        QFETCH(bool, yes);
        QFETCH(bool, asked);
        AppState state = threeMembers();
        ScriptedPrompter prompter;
        prompter.setNextAnswer(yes);
        MemberInput input = typed(QStringLiteral("山田"), QStringLiteral("2"));
        input.kana = kana;
        const StoreMemberOutcome outcome = store_member(state, *begin_member_edit(state, position), input, prompter);
        QCOMPARE(outcome.result, !asked || yes ? StoreMemberOutcome::Stored : StoreMemberOutcome::Refused);
        QCOMPARE(prompter.questions(),
                 asked ? QStringList{QStringLiteral("「山田（やまだ）」は\n2回生のリーダーとして既に"
                                                    "登録されています。\n同じ名前とかなのメンバー"
                                                    "をもう一人登録しますか？")}
                       : QStringList());
        QVERIFY(!asked || !prompter.shown().first().yesPreselected);
    }

    // The main window deleted or changed the member while the editor was open: nothing is stored anywhere.
    void storeMemberGone() {
        AppState state = threeMembers();
        ScriptedPrompter prompter;
        const MemberEdit edit = *begin_member_edit(state, 2);
        QVERIFY(!begin_member_edit(state, 3));
        for (const int change : {0, 1}) {
            AppState changed = state;
            if (change == 0)
                changed.memberCount = 2; // deleted
            else
                changed.members[2].kana = QStringLiteral("あべ2");
            const AppState before = changed;
            QCOMPARE(store_member(changed, edit, typed(QStringLiteral("林"), QStringLiteral("1")), prompter).result,
                     StoreMemberOutcome::Gone);
            QCOMPARE(changed, before);
        }
        QCOMPARE(prompter.messages().size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestRoster)
#include "tst_roster.moc"
