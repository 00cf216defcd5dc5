// 試合名の編集: opened from the option menu and from the export's notice of an empty list, driven by its buttons
// and keys; 決定 writes Gamename.txt as the club's files are and the export dialog offers the names at once.

#include "backups.h"
#include "cp932.h"
#include "entrydialog.h"
#include "guitest.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>

using namespace guitest;
using testfiles::couple;
using testfiles::member;

namespace {

QStringList listed(QListWidget* list) {
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names << list->item(row)->text();
    return names;
}

QByteArray sjis(const QString& text) {
    QByteArray bytes;
    cp932::encode(text, &bytes);
    return bytes;
}

} // namespace

class TestGameNamesEditor : public QObject, public MainWindowFixture {
    Q_OBJECT
private slots:
    void init() {
        resetState({member(QStringLiteral("山田"), QStringLiteral("やまだ"), 1, 0),
                    member(QStringLiteral("花子"), QStringLiteral("はなこ"), 1, 1)});
    }
    void cleanup() { closeWindow(); }

    // The keys and buttons on a hand-written list (its count too small: the name it leaves out is offered as well);
    // 決定 writes it whole and keeps the hand-written file.
    void editByKeysAndButtons() {
        const QByteArray handMade = QStringLiteral("1\n春の大会\n秋の部内戦\n").toUtf8();
        testfiles::writeBytes(m_state.gameNamesPath(), handMade);
        startWindow();
        bool done = false;
        QStringList seen;
        onTopLevel(
            "frm_game_names",
            [&](QWidget* editor) {
                // A failed check leaves the lambda early: the editor is closed then, so that the test ends.
                const auto close = qScopeGuard([editor] {
                    if (editor->isVisible())
                        static_cast<QDialog*>(editor)->reject();
                });
                // Its keys are shortcuts of the window, which answer once the window is the active one.
                QVERIFY(QTest::qWaitForWindowActive(editor));
                auto* list = child<QListWidget>(editor, "lst_game_names");
                seen = listed(list);
                for (const char* name : {"lst_game_names", "cmd_add", "cmd_change", "cmd_delete", "cmd_up", "cmd_down",
                                         "cmd_OK", "cmd_Cancel"})
                    QVERIFY2(!child<QWidget>(editor, name)->accessibleName().isEmpty(), name);
                QCOMPARE(list->currentRow(), 0);
                m_prompter.setNextInput(QStringLiteral("冬の新人戦"));
                QTest::keyClick(list, Qt::Key_Insert); // after the current name
                QCOMPARE(listed(list), (QStringList{QStringLiteral("春の大会"), QStringLiteral("冬の新人戦"),
                                                    QStringLiteral("秋の部内戦")}));
                QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
                QCOMPARE(list->currentRow(), 2);
                QVERIFY(!child<QPushButton>(editor, "cmd_down")->isEnabled());
                // A duplicate is refused and asked again; the emptied box changes nothing.
                m_prompter.setNextInput(QStringLiteral("春の大会"));
                QTest::keyClick(list, Qt::Key_F2);
                QVERIFY(m_prompter.messages().constLast().contains(QStringLiteral("すでに")));
                QCOMPARE(list->item(2)->text(), QStringLiteral("冬の新人戦"));
                list->setCurrentRow(0);
                QTest::keyClick(list, Qt::Key_Delete);
                QTest::mouseClick(child<QPushButton>(editor, "cmd_up"), Qt::LeftButton); // 冬 above 秋
                QTest::mouseClick(child<QPushButton>(editor, "cmd_OK"), Qt::LeftButton);
            },
            &done);
        action("mnu_game_names")->trigger();
        QVERIFY(done);
        QCOMPARE(seen, (QStringList{QStringLiteral("春の大会"), QStringLiteral("秋の部内戦")}));
        QCOMPARE(testfiles::readBytes(m_state.gameNamesPath()),
                 "2\r\n" + sjis(QStringLiteral("秋の部内戦")) + "\r\n" + sjis(QStringLiteral("冬の新人戦")) + "\r\n");
        const QStringList kept = QDir(backup_folder(m_state)).entryList(QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(testfiles::readBytes(backup_folder(m_state) + kept.first()), handMade);
    }

    // The export's notice of an empty list opens the editor, and the export dialog offers what was written.
    void emptyListNoticeOpensTheEditor() {
        const QList<MemberRecord>& m = m_state.members;
        startInCoupleView({couple(5, m[0], {m[1]}, {QStringLiteral("W")})});
        m_prompter.setNextChoice(QStringLiteral("試合名の編集を開く"));
        bool done = false;
        onTopLevel(
            "frm_game_names",
            [&](QWidget* editor) {
                m_prompter.setNextInput(QStringLiteral("秋の部内戦"));
                QTest::mouseClick(child<QPushButton>(editor, "cmd_add"), Qt::LeftButton);
                QTest::mouseClick(child<QPushButton>(editor, "cmd_OK"), Qt::LeftButton);
            },
            &done);
        QTest::mouseClick(child<QPushButton>(m_window.get(), "cmdEntry"), Qt::LeftButton);
        QVERIFY(done);
        const ScriptedPrompter::Shown notice = m_prompter.shown().at(0);
        QCOMPARE(notice.kind, ScriptedPrompter::Shown::Choice);
        QVERIFY(notice.text.startsWith(QStringLiteral("出場試合名の一覧が空です")));
        auto* games = child<QComboBox>(m_window->entryDialog(), "cmb_Gname");
        QCOMPARE(games->count(), 1);
        QCOMPARE(games->currentText(), QStringLiteral("秋の部内戦"));
    }

    // A line that cannot be read is named in the notice, with the names that could be read still offered.
    void damagedListIsNamed() {
        testfiles::writeBytes(m_state.gameNamesPath(), QStringLiteral("春の大会\n").toUtf8() + "\xFF\xFE\n" +
                                                           QStringLiteral("秋の部内戦\n").toUtf8());
        const QList<MemberRecord>& m = m_state.members;
        startInCoupleView({couple(5, m[0], {m[1]}, {QStringLiteral("W")})});
        QTest::mouseClick(child<QPushButton>(m_window.get(), "cmdEntry"), Qt::LeftButton);
        const QString notice = m_prompter.shown().at(0).text;
        QVERIFY2(notice.contains(QStringLiteral("2 行目")) && notice.contains(QStringLiteral("Gamename.txt")),
                 qPrintable(notice));
        QCOMPARE(child<QComboBox>(m_window->entryDialog(), "cmb_Gname")->count(), 2);
    }
};

QTEST_MAIN(TestGameNamesEditor)
#include "tst_gamenameseditor.moc"
