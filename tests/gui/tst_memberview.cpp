// The member view: caption, header-click sorting with Japanese collation, the item click, deletion of
// members, the double click that opens the member editor, column widths and what is kept between starts.

#include "guitest.h"
#include "membereditor.h"
#include "qtprompter.h"
#include "scriptedprompter.h"
#include "testfiles.h"
#include "twips.h"
#include "usersettings.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>

using namespace guitest;
using testfiles::member;

class TestMemberView : public QObject, public MainWindowFixture {
    Q_OBJECT

private:
    MemberListView* m_list = nullptr;

    void setMembers(const QList<MemberRecord>& members) {
        m_state.members = members;
        m_state.memberCount = qint32(members.size());
    }
    void startWindow() {
        MainWindowFixture::startWindow();
        m_list = child<MemberListView>(m_window.get(), "lvw_member");
        QVERIFY(m_list);
    }
    void pressDelete() { QTest::mouseClick(child<QPushButton>(m_window.get(), "cmd_del"), Qt::LeftButton); }
    QString editedName() { return child<QLineEdit>(m_window->memberEditor(), "txt_name")->text(); }

    // 名前 / かな / 回生 chosen so that each column gives a different order.
    static QList<MemberRecord> fourMembers() {
        return {member(QStringLiteral("田中"), QStringLiteral("たなか"), 2, 0),
                member(QStringLiteral("阿部"), QStringLiteral("あべ"), 4, 1),
                member(QStringLiteral("加藤"), QStringLiteral("カトウ"), 1, 0),
                member(QStringLiteral("佐藤"), QStringLiteral("さとう"), 3, 1)};
    }

private slots:
    void init() { resetState({}); }
    void cleanup() {
        closeWindow();
        m_list = nullptr;
    }

    void rowsShowTheMembersAndTheCaptionCounts() {
        setMembers({member(QStringLiteral("山田"), QStringLiteral("やまだ"), 3, 0),
                    member(QStringLiteral("佐藤"), QStringLiteral("さとう"), 2, 1)});
        startWindow();
        QCOMPARE(m_window->windowTitle(), memberCaption(2));
        QCOMPARE(m_list->columnCount(), 6);
        QCOMPARE(m_list->headerItem()->text(0), QStringLiteral("名前"));
        QCOMPARE(m_list->headerItem()->text(4), QStringLiteral("出身高校"));
        QCOMPARE(m_list->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(m_list->font().pointSize(), 12);
        const QTreeWidgetItem* second = m_list->topLevelItem(1);
        QCOMPARE(second->text(2), QStringLiteral("2"));
        QCOMPARE(second->text(5), QStringLiteral("partner"));
        QCOMPARE(MemberListView::memberPosition(second), 1);
        QCOMPARE(m_list->topLevelItem(0)->text(5), QStringLiteral("leader"));

        // A member stored by the editor and the refill: the count follows.
        m_state.members.append(member(QStringLiteral("鈴木"), QStringLiteral("すずき"), 1, 0));
        m_state.memberCount = 3;
        m_window->refillMemberList();
        QCOMPARE(m_window->windowTitle(), memberCaption(3));
        QCOMPARE(m_list->topLevelItemCount(), 3);
    }

    void emptyRosterCaption() {
        startWindow();
        QCOMPARE(m_window->windowTitle(), memberCaption(0));
        QCOMPARE(m_list->topLevelItemCount(), 0);
    }

    // Header clicks: descending only when the list is ascending and the same column is clicked again.
    void headerClicksSort_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("descending");
        const QString tanaka = QStringLiteral("田中"), abe = QStringLiteral("阿部"), kato = QStringLiteral("加藤"),
                      sato = QStringLiteral("佐藤");
        // Japanese order of the readings: あべ, カトウ (katakana sorts with か), さとう, たなか.
        QTest::newRow("kana once: ascending") << QList<int>{1} << QStringList{abe, kato, sato, tanaka} << false;
        QTest::newRow("kana twice: descending") << QList<int>{1, 1} << QStringList{tanaka, sato, kato, abe} << true;
        QTest::newRow("kana three times: ascending")
            << QList<int>{1, 1, 1} << QStringList{abe, kato, sato, tanaka} << false;
        QTest::newRow("year after kana") << QList<int>{1, 2} << QStringList{kato, tanaka, sato, abe} << false;
        QTest::newRow("year after kana descending")
            << QList<int>{1, 1, 2} << QStringList{kato, tanaka, sato, abe} << false;
        QTest::newRow("first click on name: descending") << QList<int>{0} << QStringList{} << true;
        QTest::newRow("name twice") << QList<int>{0, 0} << QStringList{} << false;
    }
    void headerClicksSort() {
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, names);
        QFETCH(bool, descending);
        setMembers(fourMembers());
        startWindow();
        for (int column : clicks)
            clickHeader(m_list, column);
        QCOMPARE(m_list->lastSortColumn(), clicks.constLast());
        QCOMPARE(m_list->sortOrderOfList(), descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        if (names.isEmpty()) {
            // Names in kanji: whatever the collation, the two directions are each other's reverse.
            QStringList shown = listedNames(m_list);
            clickHeader(m_list, clicks.constLast());
            QStringList reversed = listedNames(m_list);
            std::reverse(reversed.begin(), reversed.end());
            QCOMPARE(shown, reversed);
        } else {
            QCOMPARE(listedNames(m_list), names);
        }
    }

    void listStaysSortedAfterARefill() {
        setMembers(fourMembers());
        startWindow();
        clickHeader(m_list, 1);
        m_state.members.append(member(QStringLiteral("井上"), QStringLiteral("いのうえ"), 1, 0));
        m_state.memberCount = 5;
        m_window->refillMemberList();
        QCOMPARE(listedNames(m_list).at(1), QStringLiteral("井上"));
        QCOMPARE(MemberListView::memberPosition(m_list->topLevelItem(1)), 4); // the stored position, not the row
    }

    void itemClickSetsTheSelectedMember() {
        setMembers(fourMembers());
        startWindow();
        clickHeader(m_list, 1); // rows: 阿部(1), 加藤(2), 佐藤(3), 田中(0)
        clickRow(m_list, 3);
        QCOMPARE(m_window->selectedMember(), 0);
        clickRow(m_list, 1, Qt::ControlModifier);
        QCOMPARE(m_window->selectedMember(), -1);
    }

    void deleteWithNothingSelectedAsksNothing() {
        setMembers(fourMembers());
        startWindow();
        pressDelete();
        QVERIFY(m_prompter.shown().isEmpty());
        QCOMPARE(m_state.memberCount, 4);
        QCOMPARE(m_state.membersChanged, false);
    }

    void deleteThreeSelectedMembers() {
        setMembers(fourMembers() + QList<MemberRecord>{member(QStringLiteral("林"), QStringLiteral("はやし"), 2, 0)});
        startWindow();
        clickRow(m_list, 0);
        clickRow(m_list, 2, Qt::ControlModifier);
        clickRow(m_list, 3, Qt::ControlModifier);
        m_prompter.setNextAnswer(true);
        pressDelete();
        QCOMPARE(m_prompter.questions(),
                 QStringList{QStringLiteral("現在選択中のメンバー を消去します。よろしいですか？")});
        QCOMPARE(m_prompter.shown().constLast().icon, Prompter::Icon::Information);
        QCOMPARE(m_state.memberCount, 2);
        QCOMPARE(m_state.members.at(0).name, QStringLiteral("阿部"));
        QCOMPARE(m_state.members.at(1).name, QStringLiteral("林"));
        QCOMPARE(m_window->windowTitle(), memberCaption(2));
        QCOMPARE(m_state.membersChanged, true);
        QCOMPARE(m_list->selectedMemberCount(), 0);
        QCOMPARE(MemberListView::memberPosition(m_list->topLevelItem(1)), 1);
    }

    void deleteAnsweredNoKeepsEverything() {
        setMembers(fourMembers());
        startWindow();
        clickRow(m_list, 1);
        m_prompter.setNextAnswer(false);
        pressDelete();
        QCOMPARE(m_prompter.questions(), QStringList{QStringLiteral("阿部 を消去します。よろしいですか？")});
        QCOMPARE(m_state.memberCount, 4);
        QCOMPARE(m_list->topLevelItemCount(), 4);
        QCOMPARE(m_state.membersChanged, false);
    }

    // The clicked item was deselected by its Ctrl+click: the one row still selected is deleted, not the
    // member the last click named.
    void deleteTakesTheOneSelectedRow() {
        setMembers(fourMembers());
        startWindow();
        clickRow(m_list, 0);
        clickRow(m_list, 2, Qt::ControlModifier);
        clickRow(m_list, 0, Qt::ControlModifier); // 田中 deselected; 加藤 stays selected
        QCOMPARE(m_window->selectedMember(), 0);
        m_prompter.setNextAnswer(true);
        pressDelete();
        QCOMPARE(m_prompter.questions(), QStringList{QStringLiteral("加藤 を消去します。よろしいですか？")});
        QCOMPARE(m_state.memberCount, 3);
        QCOMPARE(m_state.members.at(0).name, QStringLiteral("田中"));
        QCOMPARE(m_state.members.at(2).name, QStringLiteral("佐藤"));
    }

    void deleteTheLastMember() {
        setMembers({member(QStringLiteral("山田"), QStringLiteral("やまだ"), 3, 0)});
        startWindow();
        clickRow(m_list, 0);
        m_prompter.setNextAnswer(true);
        pressDelete();
        QCOMPARE(m_state.memberCount, 0);
        QVERIFY(m_state.members.isEmpty());
        QCOMPARE(m_list->topLevelItemCount(), 0);
        QCOMPARE(m_window->windowTitle(), memberCaption(0));
        m_prompter.clear();
        pressDelete(); // nothing left: nothing asked
        QVERIFY(m_prompter.shown().isEmpty());
    }

    void addOpensTheEditorForANewMember() {
        setMembers(fourMembers());
        startWindow();
        QTest::mouseClick(child<QPushButton>(m_window.get(), "cmd_add"), Qt::LeftButton);
        QVERIFY(m_window->memberEditor());
        QVERIFY(m_window->memberEditor()->isVisible());
        QCOMPARE(m_window->memberEditor()->objectName(), QStringLiteral("frm_member"));
        QCOMPARE(editedName(), QString());
    }

    void doubleClickOpensTheClickedMember() {
        setMembers(fourMembers());
        startWindow();
        const QRect rect = m_list->visualItemRect(m_list->topLevelItem(3));
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {}, rect.center());
        QVERIFY(m_window->memberEditor() && m_window->memberEditor()->isVisible());
        QCOMPARE(editedName(), QStringLiteral("佐藤"));
    }

    // Several rows selected, or a position left over from a deletion: the editor starts a new member.
    void doubleClickWithoutOneValidMemberStartsANewOne() {
        setMembers(fourMembers());
        startWindow();
        clickRow(m_list, 3);
        clickRow(m_list, 0, Qt::ShiftModifier);
        QCOMPARE(m_window->selectedMember(), -1);
        QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                           m_list->visualItemRect(m_list->topLevelItem(0)).center());
        QCOMPARE(editedName(), QString());
        m_window->memberEditor()->hide();

        clickRow(m_list, 3); // member 3
        m_prompter.setNextAnswer(true);
        pressDelete();
        QCOMPARE(m_window->selectedMember(), 3); // now beyond the roster
        QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {}, QPoint(5, m_list->viewport()->height() - 5));
        QVERIFY(m_window->memberEditor()->isVisible());
        QCOMPARE(editedName(), QString());
    }

    // Every column as wide as its longest text, never narrower than designed; a column the user dragged keeps
    // the user's width through later refills.
    void columnsFitTheirTexts() {
        const QString longKana = QStringLiteral("ちょうそかべ もとちかのすけ よしたかまろ");
        setMembers({member(QStringLiteral("長宗我部"), longKana, 2, 0)});
        startWindow();
        const int designed = twips::toPixelsX(MemberListView::kDefaultColumnTwips, m_list);
        QVERIFY(m_list->columnWidth(1) >= m_list->fontMetrics().horizontalAdvance(longKana));
        // As wide as the view itself wants each column, so that no text is cut short with "…".
        for (int column = 0; column < MemberListView::kColumnCount; ++column)
            QVERIFY(m_list->columnWidth(column) >= static_cast<QAbstractItemView*>(m_list)->sizeHintForColumn(column));
        QCOMPARE(m_list->columnWidth(2), designed); // 回生: "2" is narrower than designed

        m_list->header()->resizeSection(1, designed / 2); // dragged by the user
        m_state.members[0].kana += longKana;
        emit m_state.notifier->rosterChanged();
        QCOMPARE(m_list->columnWidth(1), designed / 2);
    }

    // The window's size and place, the columns the user dragged and the file dialogs' last folder are kept from
    // one window to the next, in the settings file the program names; without one nothing is kept.
    void settingsKeptAcrossWindows() {
        QTemporaryDir config;
        const QString file = config.filePath(QStringLiteral("DanceEntry.conf"));
        usersettings::use_file(file);
        const auto forget = qScopeGuard([] { usersettings::use_file(QString()); });
        setMembers(fourMembers());

        startWindow();
        const QSize designed = m_window->size();
        m_window->resize(designed + QSize(300, 120));
        m_window->move(m_window->pos() + QPoint(40, 30));
        const QPoint place = m_window->pos();
        m_list->header()->resizeSection(0, 222);
        QVERIFY(m_window->close());
        QVERIFY(QFile::exists(file));

        startWindow();
        QCOMPARE(m_window->size(), designed + QSize(300, 120));
        QCOMPARE(m_window->pos(), place);
        QCOMPARE(m_list->columnWidth(0), 222);

        // The last folder: a file chosen in one dialog makes the next dialog without a folder of its own start there.
        QtPrompter prompter;
        const QString chosen = config.filePath(QStringLiteral("新入生.csv"));
        QStringList folders;
        for (const bool accept : {true, false}) {
            bool done = false;
            onTopLevel(
                "cdg_file",
                [&](QWidget* widget) {
                    auto* dialog = static_cast<QFileDialog*>(widget);
                    folders << dialog->directory().absolutePath();
                    // The name is typed as the user would: selectFile() leaves a focused name box as it is, and whether
                    // the box has the focus yet when this runs is the window system's timing.
                    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(chosen);
                    // QFileDialog hides accept(); through QDialog it checks the chosen name as the button does.
                    accept ? static_cast<QDialog*>(dialog)->accept() : dialog->reject();
                },
                &done);
            const QString path = prompter.chooseFile({.title = QStringLiteral("メンバーCSV取り込み")});
            QVERIFY(done);
            QCOMPARE(path, accept ? chosen : QString());
        }
        QCOMPARE(folders.last(), QDir(config.path()).absolutePath());

        // Without a settings file the window starts as designed.
        usersettings::use_file(QString());
        startWindow();
        QCOMPARE(m_window->size(), designed);
    }
};

QTEST_MAIN(TestMemberView)
#include "tst_memberview.moc"
