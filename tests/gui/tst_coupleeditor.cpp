#include "coupleeditor.h"
#include "japanesefont.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

using testfiles::member;

namespace {

template <typename T> T* child(QObject* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (!found)
        qWarning("no control %s", qPrintable(name));
    return found;
}
template <typename T> T* child(QObject* parent, const char* name) {
    return child<T>(parent, QString::fromLatin1(name));
}

QStringList rowNames(QTreeWidget* list) {
    QStringList names;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        names << list->topLevelItem(row)->text(0);
    return names;
}

int rowOf(QTreeWidget* list, const QString& name) {
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        if (list->topLevelItem(row)->text(0) == name)
            return row;
    }
    return -1;
}

// A mouse click on a row, as the user makes it (Ctrl adds or removes a row).
void clickRow(QTreeWidget* list, const QString& name, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const int row = rowOf(list, name);
    QVERIFY2(row >= 0, qPrintable(name));
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
}

QStringList partnerLabels(QWidget* editor) {
    QStringList names;
    for (int j = 0;; ++j) {
        auto* label = editor->findChild<QLabel*>(QStringLiteral("lbl_partner_%1").arg(j));
        if (!label || !label->isVisible())
            break;
        names << label->text();
    }
    return names;
}

// Roster in stored order; the lists show it by reading.
AppState roster() {
    AppState state;
    state.universityInfo.university = QStringLiteral("蒼嶺大学");
    state.members = {
        member(QStringLiteral("佐藤"), QStringLiteral("さとう"), 2, 0), // 0
        member(QStringLiteral("上田"), QStringLiteral("うえだ"), 3, 1), // 1
        member(QStringLiteral("阿部"), QStringLiteral("あべ"), 1, 0),   // 2
        member(QStringLiteral("伊藤"), QStringLiteral("いとう"), 2, 1), // 3
        member(QStringLiteral("加藤"), QStringLiteral("かとう"), 2, 0), // 4
        member(QStringLiteral("江口"), QStringLiteral("えぐち"), 2, 1), // 5
        member(QStringLiteral("小川"), QStringLiteral("おがわ"), 1, 1), // 6
        member(QStringLiteral("木村"), QStringLiteral("きむら"), 4, 1), // 7
    };
    state.memberCount = qint32(state.members.size());
    return state;
}

const QStringList kAllLeaders = {QStringLiteral("阿部"), QStringLiteral("加藤"), QStringLiteral("佐藤")};
const QStringList kAllPartners = {QStringLiteral("伊藤"), QStringLiteral("上田"), QStringLiteral("江口"),
                                  QStringLiteral("小川"), QStringLiteral("木村")};

} // namespace

class TestCoupleEditor : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { install_japanese_font_substitutions(); }

    void controls() {
        AppState state = roster();
        ScriptedPrompter prompter;
        CoupleEditor editor(state, prompter);
        QCOMPARE(editor.objectName(), QStringLiteral("frm_couple"));
        QCOMPARE(editor.windowTitle(), QStringLiteral("カップル作成"));
        QCOMPARE(editor.minimumSize(), editor.maximumSize());
        for (const char* list : {"lvw_Leader", "lvw_Partner"}) {
            auto* view = child<QTreeWidget>(&editor, list);
            QCOMPARE(view->columnCount(), 2);
            QCOMPARE(view->headerItem()->text(0), QStringLiteral("名前"));
            QCOMPARE(view->headerItem()->text(1), QStringLiteral("かな"));
            QVERIFY(!view->isColumnHidden(0));
            QVERIFY(view->isColumnHidden(1));
            QCOMPARE(view->selectionMode(), QAbstractItemView::ExtendedSelection);
        }
        QCOMPARE(child<QRadioButton>(&editor, "opt_P_Filter_4")->text(), QStringLiteral("４回"));
        QVERIFY(child<QRadioButton>(&editor, "opt_L_Filter_0")->isChecked());
        QVERIFY(child<QRadioButton>(&editor, "opt_P_Filter_0")->isChecked());
        QVERIFY(child<QLineEdit>(&editor, "txt_pnum")->text().isEmpty());
        // The hint is shown on two lines, none of it cut off.
        auto* hint = child<QLabel>(&editor, "Label4");
        QCOMPARE(hint->text(),
                 QStringLiteral(
                     "※ ダブルパートナー以上にしたいときは Ctrl キーを   　 押しながらパートナーを選択してください。"));
        QVERIFY(hint->height() >= hint->heightForWidth(hint->width()));
        QVERIFY(hint->height() >= 2 * hint->fontMetrics().lineSpacing());
    }

    void numberProposal_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("number") << QStringLiteral("12") << QStringLiteral("13");
        QTest::newRow("empty on first use") << QString() << QString();
        QTest::newRow("fraction") << QStringLiteral("12.5") << QStringLiteral("13");
    }

    void numberProposal() {
        QFETCH(QString, before);
        QFETCH(QString, proposed);
        AppState state = roster();
        ScriptedPrompter prompter;
        CoupleEditor editor(state, prompter);
        child<QLineEdit>(&editor, "txt_pnum")->setText(before);
        editor.openCouple(-1);
        QCOMPARE(child<QLineEdit>(&editor, "txt_pnum")->text(), proposed);
        QCOMPARE(editor.focusWidget(), child<QLineEdit>(&editor, "txt_pnum"));
    }

    void listsSortedByKanaWithFilters() {
        AppState state = roster();
        state.couples = {testfiles::couple(1, state.members[0], {state.members[3]})};
        state.coupleCount = 1;
        ScriptedPrompter prompter;
        CoupleEditor editor(state, prompter);
        editor.openCouple(-1);
        auto* leaders = child<QTreeWidget>(&editor, "lvw_Leader");
        auto* partners = child<QTreeWidget>(&editor, "lvw_Partner");
        // Members already standing in a couple are offered too.
        QCOMPARE(rowNames(leaders), kAllLeaders);
        QCOMPARE(rowNames(partners), kAllPartners);
        QCOMPARE(leaders->topLevelItem(2)->data(0, Qt::UserRole).toInt(), 0);
        QVERIFY(leaders->selectedItems().isEmpty());
        // A member already in a couple is grey and its tooltip names the couple; long names are elided in the
        // middle, the whole name in the tooltip.
        QCOMPARE(leaders->textElideMode(), Qt::ElideMiddle);
        for (int row = 0; row < leaders->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = leaders->topLevelItem(row);
            const MemberRecord& member = state.members[item->data(0, Qt::UserRole).toInt()];
            const bool taken = item->data(0, Qt::UserRole).toInt() == 0;
            const QString tip = item->toolTip(0);
            QVERIFY2(tip.startsWith(member.name) && tip.contains(QStringLiteral("%1回生").arg(member.year)),
                     qPrintable(tip));
            QCOMPARE(tip.contains(QStringLiteral("背番号 1 のカップル")), taken);
            QCOMPARE(item->data(0, Qt::ForegroundRole).isValid(), taken);
        }

        QTest::mouseClick(child<QRadioButton>(&editor, "opt_L_Filter_2"), Qt::LeftButton);
        QCOMPARE(rowNames(leaders), (QStringList{QStringLiteral("加藤"), QStringLiteral("佐藤")}));
        QTest::mouseClick(child<QRadioButton>(&editor, "opt_P_Filter_1"), Qt::LeftButton);
        QCOMPARE(rowNames(partners), QStringList{QStringLiteral("小川")});

        // The filters are remembered for the next new couple.
        QTest::mouseClick(child<QPushButton>(&editor, "cmd_Cancel"), Qt::LeftButton);
        editor.openCouple(-1);
        QVERIFY(child<QRadioButton>(&editor, "opt_L_Filter_2")->isChecked());
        QCOMPARE(rowNames(leaders), (QStringList{QStringLiteral("加藤"), QStringLiteral("佐藤")}));
        QCOMPARE(rowNames(partners), QStringList{QStringLiteral("小川")});
    }

    void editSelectsFilters_data() {
        QTest::addColumn<int>("secondPartner");
        QTest::addColumn<int>("partnerFilter");
        QTest::addColumn<QStringList>("partnerRows");
        QTest::newRow("years 2 and 3 show all") << 1 << 0 << kAllPartners;
        QTest::newRow("both year 2") << 5 << 2 << QStringList{QStringLiteral("伊藤"), QStringLiteral("江口")};
    }

    void editSelectsFilters() {
        QFETCH(int, secondPartner);
        QFETCH(int, partnerFilter);
        QFETCH(QStringList, partnerRows);
        AppState state = roster();
        state.couples = {testfiles::couple(30, state.members[0], {state.members[3], state.members[secondPartner]})};
        state.coupleCount = 1;
        ScriptedPrompter prompter;
        CoupleEditor editor(state, prompter);
        editor.openCouple(0);

        QCOMPARE(child<QLineEdit>(&editor, "txt_pnum")->text(), QStringLiteral("30"));
        QCOMPARE(child<QLabel>(&editor, "lbl_Leader")->text(), QStringLiteral("佐藤"));
        QCOMPARE(partnerLabels(&editor), (QStringList{QStringLiteral("伊藤"), state.members[secondPartner].name}));
        QVERIFY(child<QRadioButton>(&editor, "opt_L_Filter_2")->isChecked());
        QCOMPARE(rowNames(child<QTreeWidget>(&editor, "lvw_Leader")),
                 (QStringList{QStringLiteral("加藤"), QStringLiteral("佐藤")}));
        QVERIFY(child<QRadioButton>(&editor, QStringLiteral("opt_P_Filter_%1").arg(partnerFilter))->isChecked());
        QCOMPARE(rowNames(child<QTreeWidget>(&editor, "lvw_Partner")), partnerRows);
        QVERIFY(child<QTreeWidget>(&editor, "lvw_Leader")->selectedItems().isEmpty());
        QVERIFY(child<QTreeWidget>(&editor, "lvw_Partner")->selectedItems().isEmpty());

        // Partner labels are stacked 50 twips apart.
        auto* first = child<QLabel>(&editor, "lbl_partner_0");
        auto* second = child<QLabel>(&editor, "lbl_partner_1");
        QCOMPARE(second->x(), first->x());
        QVERIFY(second->y() > first->y() + first->height());

        // A new couple afterwards starts with those filters and empty labels.
        editor.openCouple(-1);
        QVERIFY(child<QRadioButton>(&editor, "opt_L_Filter_2")->isChecked());
        QCOMPARE(rowNames(child<QTreeWidget>(&editor, "lvw_Partner")), partnerRows);
        QVERIFY(child<QLabel>(&editor, "lbl_Leader")->text().isEmpty());
        QVERIFY(partnerLabels(&editor).isEmpty());
        QCOMPARE(child<QLineEdit>(&editor, "txt_pnum")->text(), QStringLiteral("31"));
    }

    void fifthPartnerRefused() {
        AppState state = roster();
        ScriptedPrompter prompter;
        CoupleEditor editor(state, prompter);
        editor.openCouple(-1);
        auto* partners = child<QTreeWidget>(&editor, "lvw_Partner");
        clickRow(partners, QStringLiteral("小川"));
        clickRow(partners, QStringLiteral("伊藤"), Qt::ControlModifier);
        clickRow(partners, QStringLiteral("江口"), Qt::ControlModifier);
        clickRow(partners, QStringLiteral("上田"), Qt::ControlModifier);
        // In list order, whatever the order of the clicks.
        const QStringList four = kAllPartners.mid(0, 4);
        QCOMPARE(partnerLabels(&editor), four);
        QVERIFY(prompter.messages().isEmpty());

        clickRow(partners, QStringLiteral("木村"), Qt::ControlModifier);
        QCOMPARE(prompter.messages(), QStringList{QStringLiteral("パートナーは４人までです。")});
        QCOMPARE(prompter.shown().first().icon, Prompter::Icon::Information);
        QCOMPARE(partnerLabels(&editor), four);
        QCOMPARE(editor.workingCouple().partnerCount, 4);
        QCOMPARE(partners->selectedItems().size(), 5);
        QVERIFY(!editor.findChild<QLabel*>(QStringLiteral("lbl_partner_4")));

        // Taking rows away again works from the user's selection.
        clickRow(partners, QStringLiteral("伊藤"), Qt::ControlModifier);
        QCOMPARE(partnerLabels(&editor), (QStringList{QStringLiteral("上田"), QStringLiteral("江口"),
                                                      QStringLiteral("小川"), QStringLiteral("木村")}));
        clickRow(partners, QStringLiteral("小川"));
        QCOMPARE(partnerLabels(&editor), QStringList{QStringLiteral("小川")});
        QCOMPARE(editor.workingCouple().partnerDances.size(), 1);
    }

    void okAppendsCouple() {
        AppState state = roster();
        state.couples = {testfiles::couple(12, state.members[4], {state.members[5]}), CoupleRecord{}};
        state.coupleCount = 1; // the second element is left over and not valid
        ScriptedPrompter prompter;
        CoupleEditor editor(state, prompter);
        QSignalSpy stored(state.notifier.get(), &StateNotifier::couplesChanged);
        editor.openCouple(-1);
        child<QLineEdit>(&editor, "txt_pnum")->setText(QStringLiteral("5"));
        clickRow(child<QTreeWidget>(&editor, "lvw_Leader"), QStringLiteral("佐藤"));
        QCOMPARE(child<QLabel>(&editor, "lbl_Leader")->text(), QStringLiteral("佐藤"));
        clickRow(child<QTreeWidget>(&editor, "lvw_Partner"), QStringLiteral("上田"));
        clickRow(child<QTreeWidget>(&editor, "lvw_Partner"), QStringLiteral("伊藤"), Qt::ControlModifier);
        QTest::mouseClick(child<QPushButton>(&editor, "cmd_OK"), Qt::LeftButton);

        QVERIFY(prompter.messages().isEmpty());
        QCOMPARE(state.coupleCount, 2);
        QCOMPARE(state.couples.size(), 2);
        const CoupleRecord& couple = state.couples[1];
        QCOMPARE(couple.backNumber, 5);
        QCOMPARE(couple.university, QStringLiteral("蒼嶺大学"));
        QCOMPARE(couple.leader, state.members[0]);
        QCOMPARE(couple.partnerCount, 2);
        QCOMPARE(couple.partners, (QList<MemberRecord>{state.members[3], state.members[1]}));
        QCOMPARE(couple.partnerDances, (QStringList{QString(), QString()}));
        QCOMPARE(couple.yearSum, 4); // leader year 2 + first partner year 2
        QCOMPARE(couple.danceFlags, QList<qint32>(8, -1));
        QCOMPARE(couple.regular, quint8(0));
        QCOMPARE(couple.section, quint8(0));
        QCOMPARE(state.couples[0].backNumber, 12);
        QCOMPARE(state.entryChanged, true);
        QCOMPARE(stored.count(), 1);
        QVERIFY(!editor.isVisible());
    }

    void okRefusals_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("chooseCouple");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a number") << QStringLiteral("abc") << true
                                      << QStringLiteral("背番号に数値を入力してください。");
        QTest::newRow("number in use") << QStringLiteral("12") << true
                                       << QStringLiteral("その背番号は既に使われています。");
        QTest::newRow("no partner") << QStringLiteral("13") << false
                                    << QStringLiteral("リーダー、パートナーを決めてください。");
    }

    void okRefusals() {
        QFETCH(QString, number);
        QFETCH(bool, chooseCouple);
        QFETCH(QString, message);
        AppState state = roster();
        state.couples = {testfiles::couple(12, state.members[4], {state.members[5]})};
        state.coupleCount = 1;
        const QList<CoupleRecord> before = state.couples;
        ScriptedPrompter prompter;
        CoupleEditor editor(state, prompter);
        editor.openCouple(-1);
        clickRow(child<QTreeWidget>(&editor, "lvw_Leader"), QStringLiteral("阿部"));
        if (chooseCouple)
            clickRow(child<QTreeWidget>(&editor, "lvw_Partner"), QStringLiteral("上田"));
        child<QLineEdit>(&editor, "txt_pnum")->setText(number);
        child<QPushButton>(&editor, "cmd_OK")->setFocus();
        QTest::mouseClick(child<QPushButton>(&editor, "cmd_OK"), Qt::LeftButton);

        QCOMPARE(prompter.messages(), QStringList{message});
        QVERIFY(editor.isVisible());
        QCOMPARE(state.couples, before);
        QCOMPARE(state.coupleCount, 1);
        QCOMPARE(state.entryChanged, false);
        const bool numberFocused = editor.focusWidget() == child<QLineEdit>(&editor, "txt_pnum");
        QCOMPARE(numberFocused, number == QStringLiteral("abc"));
    }

    // Fewer partners: the flags follow the remaining partners' dance strings, as when a partner is deleted.
    void shrinkingPartnersRecomputesFlags() {
        AppState state = roster();
        state.couples = {testfiles::couple(7, state.members[0], {state.members[3], state.members[5]},
                                           {QStringLiteral("W"), QStringLiteral("TQ")})};
        state.coupleCount = 1;
        ScriptedPrompter prompter;
        CoupleEditor editor(state, prompter);
        editor.openCouple(0);
        clickRow(child<QTreeWidget>(&editor, "lvw_Partner"), QStringLiteral("伊藤"));
        QTest::mouseClick(child<QPushButton>(&editor, "cmd_OK"), Qt::LeftButton);

        QVERIFY(prompter.messages().isEmpty());
        const CoupleRecord& couple = state.couples[0];
        QCOMPARE(couple.partnerCount, 1);
        QCOMPARE(couple.partnerDances, QStringList{QStringLiteral("W")});
        QCOMPARE(couple.danceFlags, (QList<qint32>{0, -1, -1, -1, -1, -1, -1, -1}));
        QCOMPARE(couple.backNumber, 7);
        QCOMPARE(state.coupleCount, 1);
    }

    // Replacing the only partner keeps the dances of that position; the grid's switches made while the
    // editor was open are not undone by its OK.
    void replacePartnerKeepsPositionDances() {
        AppState state = roster();
        state.couples = {testfiles::couple(7, state.members[0], {state.members[3]}, {QStringLiteral("W")})};
        state.coupleCount = 1;
        ScriptedPrompter prompter;
        CoupleEditor editor(state, prompter);
        editor.openCouple(0);
        clickRow(child<QTreeWidget>(&editor, "lvw_Partner"), QStringLiteral("江口"));
        state.couples[0].partnerDances[0] += QStringLiteral("Q"); // a grid click meanwhile
        state.couples[0].danceFlags[3] = 0;
        state.couples[0].regular = 1;
        QTest::mouseClick(child<QPushButton>(&editor, "cmd_OK"), Qt::LeftButton);

        const CoupleRecord& couple = state.couples[0];
        QCOMPARE(couple.partners, QList<MemberRecord>{state.members[5]});
        QCOMPARE(couple.partnerDances, QStringList{QStringLiteral("WQ")});
        QCOMPARE(couple.danceFlags, (QList<qint32>{0, -1, -1, 0, -1, -1, -1, -1}));
        QCOMPARE(couple.regular, quint8(1));
    }

    void cancelLeavesCouples() {
        AppState state = roster();
        state.couples = {testfiles::couple(7, state.members[0], {state.members[3]}, {QStringLiteral("W")})};
        state.coupleCount = 1;
        const QList<CoupleRecord> before = state.couples;
        ScriptedPrompter prompter;
        QPointer<CoupleEditor> editor = new CoupleEditor(state, prompter);
        QSignalSpy stored(state.notifier.get(), &StateNotifier::couplesChanged);
        editor->openCouple(0);
        clickRow(child<QTreeWidget>(editor, "lvw_Partner"), QStringLiteral("江口"));
        child<QLineEdit>(editor, "txt_pnum")->setText(QStringLiteral("99"));
        QTest::mouseClick(child<QPushButton>(editor, "cmd_Cancel"), Qt::LeftButton);
        QTest::keyClick(editor, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QVERIFY(editor); // hidden, not destroyed: it keeps the number box
        QVERIFY(!editor->isVisible());
        QCOMPARE(state.couples, before);
        QCOMPARE(state.entryChanged, false);
        QCOMPARE(stored.count(), 0);
        editor->openCouple(-1);
        QCOMPARE(child<QLineEdit>(editor, "txt_pnum")->text(), QStringLiteral("100"));
        delete editor;
    }

    void closeBoxDestroysAndReopenStartsAfresh() {
        AppState state = roster();
        ScriptedPrompter prompter;
        QPointer<CoupleEditor> editor = new CoupleEditor(state, prompter);
        editor->openCouple(-1);
        child<QLineEdit>(editor, "txt_pnum")->setText(QStringLiteral("8"));
        QTest::mouseClick(child<QRadioButton>(editor, "opt_L_Filter_3"), Qt::LeftButton);
        clickRow(child<QTreeWidget>(editor, "lvw_Partner"), QStringLiteral("上田"));
        editor->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!editor);
        QCOMPARE(state.coupleCount, 0);

        editor = new CoupleEditor(state, prompter);
        editor->openCouple(-1);
        QVERIFY(child<QLineEdit>(editor, "txt_pnum")->text().isEmpty());
        QVERIFY(child<QRadioButton>(editor, "opt_L_Filter_0")->isChecked());
        QCOMPARE(rowNames(child<QTreeWidget>(editor, "lvw_Leader")), kAllLeaders);
        QVERIFY(partnerLabels(editor).isEmpty());
        delete editor;
    }

    // The main window shortened or replaced the couples while the couple was being edited.
    void editedCoupleGone_data() {
        QTest::addColumn<bool>("notify");
        QTest::newRow("told through the notifier") << true;
        QTest::newRow("found at OK") << false;
    }

    void editedCoupleGone() {
        QFETCH(bool, notify);
        AppState state = roster();
        state.couples = {testfiles::couple(1, state.members[0], {state.members[3]}),
                         testfiles::couple(2, state.members[4], {state.members[5]})};
        state.coupleCount = 2;
        ScriptedPrompter prompter;
        CoupleEditor editor(state, prompter);
        editor.openCouple(1);
        clickRow(child<QTreeWidget>(&editor, "lvw_Partner"), QStringLiteral("伊藤"));

        // Couple 0 deleted: position 1 no longer exists.
        state.couples.removeFirst();
        state.coupleCount = 1;
        const QList<CoupleRecord> after = state.couples;
        if (notify) {
            emit state.notifier->couplesChanged();
            QVERIFY(!editor.isVisible());
        } else {
            QTest::mouseClick(child<QPushButton>(&editor, "cmd_OK"), Qt::LeftButton);
        }
        QCOMPARE(prompter.messages().size(), 1);
        QCOMPARE(prompter.shown().first().icon, Prompter::Icon::Exclamation);
        QCOMPARE(state.couples, after);
        QCOMPARE(state.coupleCount, 1);
        QCOMPARE(state.entryChanged, false);

        // Another entry with a couple at the same position: still not the couple that was opened.
        prompter.clear();
        state.couples = {testfiles::couple(5, state.members[2], {state.members[6]}),
                         testfiles::couple(6, state.members[2], {state.members[7]})};
        state.coupleCount = 2;
        editor.openCouple(1);
        state.couples[1] = testfiles::couple(9, state.members[4], {state.members[1]});
        const QList<CoupleRecord> replaced = state.couples;
        QTest::mouseClick(child<QPushButton>(&editor, "cmd_OK"), Qt::LeftButton);
        QCOMPARE(prompter.messages().size(), 1);
        QCOMPARE(state.couples, replaced);
    }

    // Members deleted in the main window while the lists are open: no row names a member that is gone.
    void memberGone_data() {
        QTest::addColumn<bool>("notify");
        QTest::newRow("told through the notifier") << true;
        QTest::newRow("not told") << false;
    }

    void memberGone() {
        QFETCH(bool, notify);
        AppState state = roster();
        ScriptedPrompter prompter;
        CoupleEditor editor(state, prompter);
        editor.openCouple(-1);
        auto* partners = child<QTreeWidget>(&editor, "lvw_Partner");
        clickRow(partners, QStringLiteral("江口"));

        state.members.removeAt(1); // 上田; every later member moves up by one
        state.memberCount -= 1;
        if (notify) {
            emit state.notifier->rosterChanged();
            QVERIFY(prompter.messages().isEmpty());
            QCOMPARE(rowNames(partners), (QStringList{QStringLiteral("伊藤"), QStringLiteral("江口"),
                                                      QStringLiteral("小川"), QStringLiteral("木村")}));
            QCOMPARE(partners->selectedItems().size(), 1);
            QCOMPARE(partners->selectedItems().first()->text(0), QStringLiteral("江口"));
            clickRow(partners, QStringLiteral("木村"), Qt::ControlModifier);
            QCOMPARE(editor.workingCouple().partners, (QList<MemberRecord>{state.members[4], state.members[6]}));
        } else {
            // The rows still carry the old positions: a click on one whose member moved copies nobody.
            const QList<MemberRecord> before = editor.workingCouple().partners;
            clickRow(partners, QStringLiteral("木村"), Qt::ControlModifier);
            QVERIFY(prompter.messages().isEmpty());
            QCOMPARE(editor.workingCouple().partners, before);
            return;
        }
        for (int row = 0; row < partners->topLevelItemCount(); ++row) {
            const int position = partners->topLevelItem(row)->data(0, Qt::UserRole).toInt();
            QCOMPARE(state.members[position].name, partners->topLevelItem(row)->text(0));
        }
    }
};

QTEST_MAIN(TestCoupleEditor)
#include "tst_coupleeditor.moc"
