#include "japanesefont.h"
#include "membereditor.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

template <typename T> T* child(QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qWarning("no control %s", name);
    return found;
}

AppState roster() {
    AppState state;
    state.members = {testfiles::member(QStringLiteral("山田太郎"), QStringLiteral("やまだたろう"), 2, 0),
                     testfiles::member(QStringLiteral("鈴木花子"), QStringLiteral("すずきはなこ"), 3, 1),
                     testfiles::member(QStringLiteral("高橋健"), QStringLiteral("たかはしけん"), 1, 0)};
    state.members[1].highschool = QStringLiteral("南高校");
    state.members[1].department = QStringLiteral("文学部");
    state.memberCount = 3;
    return state;
}

} // namespace

class TestMemberEditor : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { install_japanese_font_substitutions(); }

    // A new member starts from the fresh member whatever was edited before.
    void newMemberDefaults() {
        AppState state = roster();
        ScriptedPrompter prompter;
        MemberEditor editor(state, prompter);
        editor.openMember(1);
        QCOMPARE(child<QLineEdit>(&editor, "txt_name")->text(), QStringLiteral("鈴木花子"));
        QVERIFY(child<QRadioButton>(&editor, "opt_partner")->isChecked());
        QCOMPARE(child<QComboBox>(&editor, "cmb_kaisei")->currentText(), QStringLiteral("3"));

        editor.openMember(-1);
        QVERIFY(editor.isVisible());
        QVERIFY(!editor.isModal());
        QCOMPARE(editor.minimumSize(), editor.maximumSize());
        QVERIFY(!(editor.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        for (const char* box : {"txt_name", "txt_kana", "txt_highschool", "txt_department"})
            QVERIFY2(child<QLineEdit>(&editor, box)->text().isEmpty(), box);
        QCOMPARE(child<QComboBox>(&editor, "cmb_kaisei")->currentText(), QStringLiteral("1"));
        QVERIFY(child<QRadioButton>(&editor, "opt_leader")->isChecked());
        QVERIFY(!child<QRadioButton>(&editor, "opt_partner")->isChecked());
        QCOMPARE(editor.focusWidget(), child<QLineEdit>(&editor, "txt_name"));
    }

    // Tab from the year box lands on the role that is checked, never on the other one, and the arrows switch the
    // role; every opening starts in the name box, wherever the focus was left.
    void tabReachesTheCheckedRole_data() {
        QTest::addColumn<QList<int>>("openings"); // the members opened one after the other
        QTest::newRow("leader, then partner") << QList<int>{0, 1};
        QTest::newRow("partner, then leader") << QList<int>{1, 0};
    }
    void tabReachesTheCheckedRole() {
        QFETCH(QList<int>, openings);
        AppState state = roster();
        ScriptedPrompter prompter;
        MemberEditor editor(state, prompter);
        auto* year = child<QComboBox>(&editor, "cmb_kaisei");
        auto* leader = child<QRadioButton>(&editor, "opt_leader");
        auto* partner = child<QRadioButton>(&editor, "opt_partner");
        for (const int position : openings) {
            editor.openMember(position);
            editor.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&editor));
            QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&editor, "txt_name"));
            year->setFocus(Qt::TabFocusReason);
            QTest::keyClick(year, Qt::Key_Tab);
            QRadioButton* checked = state.members[position].role == 0 ? leader : partner;
            QRadioButton* other = checked == leader ? partner : leader;
            QCOMPARE(QApplication::focusWidget(), checked);
            QTest::keyClick(checked, checked == leader ? Qt::Key_Right : Qt::Key_Left);
            QVERIFY(other->isChecked());
            QCOMPARE(QApplication::focusWidget(), other);
            QTest::keyClick(other, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), child<QPushButton>(&editor, "cmd_ok"));
        }
    }

    // However the editor was filled, Tab from the year box reaches the role it shows and the arrows move on, also
    // when the focus was left on the other role button.
    void roleFocusAfterFilling_data() {
        QTest::addColumn<int>("first");  // opened first (-1: new), its role then switched from the keyboard
        QTest::addColumn<bool>("store"); // 決定, else Escape
        QTest::addColumn<int>("second");
        QTest::newRow("new member after a partner was stored") << -1 << true << -1;
        QTest::newRow("another leader after Cancel") << 0 << false << 2;
        QTest::newRow("a partner after Cancel") << 1 << false << 1;
    }
    void roleFocusAfterFilling() {
        QFETCH(int, first);
        QFETCH(bool, store);
        QFETCH(int, second);
        AppState state = roster();
        ScriptedPrompter prompter;
        MemberEditor editor(state, prompter);
        auto* year = child<QComboBox>(&editor, "cmb_kaisei");
        const auto openAndTab = [&](int position) {
            editor.openMember(position);
            QApplication::setActiveWindow(&editor); // offscreen activates no window shown again
            QTRY_VERIFY(editor.isActiveWindow());
            year->setFocus(Qt::TabFocusReason);
            QTest::keyClick(year, Qt::Key_Tab);
        };
        const auto partnerShown = [&](int position) { return position >= 0 && state.members[position].role != 0; };
        openAndTab(first);
        QTest::keyClick(QApplication::focusWidget(), partnerShown(first) ? Qt::Key_Left : Qt::Key_Right);
        child<QLineEdit>(&editor, "txt_name")->setText(QStringLiteral("伊藤"));
        QTest::keyClick(QApplication::focusWidget(), store ? Qt::Key_Return : Qt::Key_Escape);
        QVERIFY(!editor.isVisible());
        openAndTab(second);
        auto* shown = child<QRadioButton>(&editor, partnerShown(second) ? "opt_partner" : "opt_leader");
        QVERIFY(shown->isChecked());
        QCOMPARE(QApplication::focusWidget(), shown);
        QTest::keyClick(shown, partnerShown(second) ? Qt::Key_Left : Qt::Key_Right);
        QVERIFY(!shown->isChecked());
    }

    void checksInOrder_data() {
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString notNumber = QStringLiteral("回生に数値以外を入力しないで下さい。");
        const QString range = QStringLiteral("回生は１から４までの数値です。");
        const QString noName = QStringLiteral("名前は必ず入力してください。");
        QTest::newRow("empty year, empty name") << QString() << QString() << notNumber;
        QTest::newRow("letters") << QStringLiteral("x") << QStringLiteral("a") << notNumber;
        QTest::newRow("zero before empty name") << QStringLiteral("0") << QString() << range;
        QTest::newRow("five") << QStringLiteral("5") << QStringLiteral("a") << range;
        QTest::newRow("empty name") << QStringLiteral("2") << QString() << noName;
        QTest::newRow("blank name and padded year pass") << QStringLiteral(" 3 ") << QStringLiteral(" ") << QString();
    }

    void checksInOrder() {
        QFETCH(QString, year);
        QFETCH(QString, name);
        QFETCH(QString, message);
        AppState state = roster();
        const AppState before = state;
        ScriptedPrompter prompter;
        MemberEditor editor(state, prompter);
        editor.openMember(-1);
        child<QComboBox>(&editor, "cmb_kaisei")->setEditText(year);
        child<QLineEdit>(&editor, "txt_name")->setText(name);
        QTest::mouseClick(child<QPushButton>(&editor, "cmd_ok"), Qt::LeftButton);

        if (message.isEmpty()) {
            QVERIFY(prompter.messages().isEmpty());
            QCOMPARE(state.memberCount, 4);
            QCOMPARE(state.members[3].name, name);
            QCOMPARE(state.members[3].year, quint8(3));
            QVERIFY(!editor.isVisible());
            return;
        }
        QCOMPARE(prompter.messages(), QStringList{message});
        QCOMPARE(prompter.shown().first().icon, Prompter::Icon::Exclamation);
        QVERIFY(editor.isVisible());
        QCOMPARE(child<QLineEdit>(&editor, "txt_name")->text(), name);
        QCOMPARE(state.members, before.members);
        QCOMPARE(state.memberCount, before.memberCount);
        QCOMPARE(state.membersChanged, false);
    }

    void appendAndReplace() {
        AppState state = roster();
        state.members.append(testfiles::member(QStringLiteral("残骸"), QString(), 1, 0)); // beyond memberCount
        ScriptedPrompter prompter;
        MemberEditor editor(state, prompter);
        QSignalSpy stored(state.notifier.get(), &StateNotifier::rosterChanged);

        editor.openMember(-1);
        child<QLineEdit>(&editor, "txt_name")->setText(QStringLiteral("伊藤さくら"));
        child<QLineEdit>(&editor, "txt_kana")->setText(QStringLiteral("いとうさくら"));
        child<QLineEdit>(&editor, "txt_highschool")->setText(QStringLiteral("北高校"));
        child<QLineEdit>(&editor, "txt_department")->setText(QStringLiteral("理学部"));
        child<QComboBox>(&editor, "cmb_kaisei")->setCurrentIndex(3);
        child<QRadioButton>(&editor, "opt_partner")->setChecked(true);
        QTest::mouseClick(child<QPushButton>(&editor, "cmd_ok"), Qt::LeftButton);

        QCOMPARE(state.memberCount, 4);
        QCOMPARE(state.members.size(), 4);
        MemberRecord expected = testfiles::member(QStringLiteral("伊藤さくら"), QStringLiteral("いとうさくら"), 4, 1);
        expected.highschool = QStringLiteral("北高校");
        expected.department = QStringLiteral("理学部");
        QCOMPARE(state.members[3], expected);
        QCOMPARE(state.members[0].name, QStringLiteral("山田太郎"));
        QCOMPARE(state.membersChanged, true);
        QCOMPARE(stored.count(), 1);
        QVERIFY(!editor.isVisible());

        // Editing keeps the position; the role switches back to leader.
        editor.openMember(1);
        QCOMPARE(child<QLineEdit>(&editor, "txt_department")->text(), QStringLiteral("文学部"));
        child<QLineEdit>(&editor, "txt_name")->setText(QStringLiteral("鈴木華子"));
        child<QRadioButton>(&editor, "opt_leader")->setChecked(true);
        QTest::keyClick(child<QLineEdit>(&editor, "txt_name"), Qt::Key_Return); // 決定 is the default button
        QCOMPARE(state.memberCount, 4);
        QCOMPARE(state.members[1].name, QStringLiteral("鈴木華子"));
        QCOMPARE(state.members[1].role, quint8(0));
        QCOMPARE(state.members[1].highschool, QStringLiteral("南高校"));
        QCOMPARE(stored.count(), 2);
    }

    void cancelAndCloseLeaveMembers() {
        AppState state = roster();
        const AppState before = state;
        ScriptedPrompter prompter;
        MemberEditor editor(state, prompter);
        QSignalSpy stored(state.notifier.get(), &StateNotifier::rosterChanged);
        editor.openMember(0);
        child<QLineEdit>(&editor, "txt_name")->setText(QStringLiteral("変更"));
        child<QComboBox>(&editor, "cmb_kaisei")->setCurrentIndex(3);
        QTest::mouseClick(child<QPushButton>(&editor, "cmd_cancel"), Qt::LeftButton);
        QVERIFY(!editor.isVisible());

        editor.openMember(-1);
        child<QLineEdit>(&editor, "txt_name")->setText(QStringLiteral("新人"));
        editor.close();
        QVERIFY(!editor.isVisible());
        QCOMPARE(state.members, before.members);
        QCOMPARE(state.memberCount, before.memberCount);
        QCOMPARE(state.membersChanged, false);
        QCOMPARE(stored.count(), 0);
        QVERIFY(prompter.shown().isEmpty());
    }

    // The main window may delete members while an edit is open: the edit never lands on another member.
    void staleEditPosition_data() {
        QTest::addColumn<int>("removed");
        QTest::newRow("edited member deleted, position beyond the end") << 2;
        QTest::newRow("earlier member deleted, another member moved in") << 0;
    }

    void staleEditPosition() {
        QFETCH(int, removed);
        AppState state = roster();
        ScriptedPrompter prompter;
        MemberEditor editor(state, prompter);
        QSignalSpy stored(state.notifier.get(), &StateNotifier::rosterChanged);
        editor.openMember(2);
        child<QLineEdit>(&editor, "txt_name")->setText(QStringLiteral("上書き"));

        state.members.removeAt(removed);
        state.memberCount -= 1;
        const QList<MemberRecord> after = state.members;
        QTest::mouseClick(child<QPushButton>(&editor, "cmd_ok"), Qt::LeftButton);

        QCOMPARE(prompter.messages().size(), 1);
        QCOMPARE(prompter.shown().first().icon, Prompter::Icon::Exclamation);
        QCOMPARE(state.members, after);
        QCOMPARE(state.memberCount, 2);
        QCOMPARE(stored.count(), 0);
        QCOMPARE(state.membersChanged, false);
    }

    void unencodableTextRefused_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field");
        QTest::newRow("name") << QStringLiteral("txt_name") << QStringLiteral("名前");
        QTest::newRow("department") << QStringLiteral("txt_department") << QStringLiteral("学部");
    }

    void unencodableTextRefused() {
        QFETCH(QString, box);
        QFETCH(QString, field);
        AppState state = roster();
        const AppState before = state;
        ScriptedPrompter prompter;
        MemberEditor editor(state, prompter);
        editor.openMember(0);
        const QString text = QString::fromUtf8("\xF0\xA0\xAE\xB7田"); // U+20BB7 has no code page 932 form
        editor.findChild<QLineEdit*>(box)->setText(text);
        QTest::mouseClick(child<QPushButton>(&editor, "cmd_ok"), Qt::LeftButton);

        QCOMPARE(prompter.messages().size(), 1);
        QVERIFY(prompter.messages().first().contains(field));
        QVERIFY(prompter.messages().first().contains(QString::fromUtf8("\xF0\xA0\xAE\xB7")));
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.findChild<QLineEdit*>(box)->text(), text);
        QCOMPARE(state.members, before.members);
    }

    void doubleClickSelectsAll() {
        AppState state = roster();
        ScriptedPrompter prompter;
        MemberEditor editor(state, prompter);
        editor.openMember(1);
        auto* kana = child<QLineEdit>(&editor, "txt_kana");
        kana->setText(QStringLiteral("すずき はなこ"));
        kana->setCursorPosition(3);
        QTest::mouseDClick(kana, Qt::LeftButton, Qt::NoModifier, QPoint(5, kana->height() / 2));
        QCOMPARE(kana->selectedText(), QStringLiteral("すずき はなこ"));
        QCOMPARE(kana->cursorPosition(), 0);
    }
};

QTEST_MAIN(TestMemberEditor)
#include "tst_membereditor.moc"
