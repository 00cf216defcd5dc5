// The windows for every user: Qt's own texts in Japanese, the keyboard, names for a screen reader, the whole
// couple grid in view, the progress of the year advance and the couple a failed entry check is about.

#include "coupleeditor.h"
#include "datafiles.h"
#include "entrycheck.h"
#include "entrydialog.h"
#include "guitest.h"
#include "membereditor.h"
#include "memberimport.h"
#include "memberimportdialog.h"
#include "qtprompter.h"
#include "qttranslation.h"
#include "scriptedprompter.h"
#include "testfiles.h"
#include "yearadvancecommand.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace guitest;
using testfiles::couple;
using testfiles::member;
using namespace Qt::Literals::StringLiterals;

class TestUsability : public QObject, public MainWindowFixture {
    Q_OBJECT

private:
    // The main window, in the couple view of the entry t.ent holding `couples` unless `memberView`.
    CoupleGridView* startWindow(const QList<CoupleRecord>& couples, bool memberView = false) {
        if (!memberView)
            return startInCoupleView(couples);
        m_state.couples = couples;
        m_state.coupleCount = qint32(couples.size());
        m_state.entryFileName = QStringLiteral("t.ent");
        MainWindowFixture::startWindow();
        return m_window->coupleGrid();
    }
    // Couple 12 (Waltz) first in the list, couple 5 (Tango) second, so the grid shows 5 on row 1, 12 on row 2.
    CoupleGridView* startWithTwoCouples(bool memberView = false) {
        const QList<MemberRecord>& m = m_state.members;
        return startWindow(
            {couple(12, m[0], {m[1]}, {QStringLiteral("W")}), couple(5, m[0], {m[2]}, {QStringLiteral("T")})},
            memberView);
    }
    // What the main window shows after a key: an open editor, the questions asked, the current couple and
    // every couple as "number:dances:regular:section".
    QString outcome() const {
        QStringList parts;
        if (m_window->memberEditor() && m_window->memberEditor()->isVisible())
            parts << QStringLiteral("member editor %1").arg(m_window->memberEditor()->editPosition());
        if (m_window->coupleEditor() && m_window->coupleEditor()->isVisible())
            parts << QStringLiteral("couple editor %1").arg(m_window->coupleEditor()->editPosition());
        parts << m_prompter.questions() << QStringLiteral("current %1").arg(m_window->currentCouple());
        for (const CoupleRecord& c : m_state.couples)
            parts << QStringLiteral("%1:%2:%3:%4")
                         .arg(c.backNumber)
                         .arg(c.partnerDances.join(u'+'))
                         .arg(c.regular)
                         .arg(c.section);
        return parts.join(QStringLiteral(" | "));
    }
    // Opens window `which` and hands it to `use` while it is shown; the modal university dialog from a timer.
    void withWindow(const QString& which, const std::function<void(QWidget*)>& use) {
        startWithTwoCouples(which == QLatin1String("frm_member"));
        if (which == QLatin1String("frm_main"))
            return use(m_window.get());
        if (which == QLatin1String("frm_member_import")) {
            MemberImportDialog preview(m_state, member_candidates({{u"林"_s, u"はやし"_s, u"1"_s}}, m_state));
            preview.show();
            return use(&preview);
        }
        if (which == QLatin1String("university")) {
            bool done = false;
            onTopLevel(
                "frm_entry",
                [&use](QWidget* dialog) {
                    use(dialog);
                    dialog->close();
                },
                &done);
            child<QAction>(m_window.get(), "mnu_Uni")->trigger();
            QVERIFY(done);
            return;
        }
        QTest::mouseClick(
            child<QPushButton>(m_window.get(), which == QLatin1String("frm_entry") ? "cmdEntry" : "cmd_add"),
            Qt::LeftButton);
        QWidget* dialog = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            dialog = top->objectName() == which && top->isVisible() ? top : dialog;
        QVERIFY(dialog);
        use(dialog);
    }
    // The input widgets of `window` that a screen reader cannot name. A widget inside another one (the header of
    // a list) is that one's part, except the line of an editable combo box, which takes the keyboard focus and is
    // spoken on its own; Qt names its own widgets ("qt_...", such as the menu bar's overflow button).
    static QStringList unnamedInputs(QWidget* window) {
        const auto isInput = [](const QWidget* w) {
            return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
                   qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
                   qobject_cast<const QAbstractButton*>(w);
        };
        QStringList unnamed;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const auto* box = qobject_cast<const QComboBox*>(widget->parentWidget());
            bool part = false;
            for (QWidget* p = widget->parentWidget(); p && p != window; p = p->parentWidget())
                part = part || isInput(p);
            if (box && box->isEditable() && widget == box->lineEdit())
                part = false;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
            if (isInput(widget) && !part && !widget->objectName().startsWith(u"qt_"_s) &&
                (!face || face->text(QAccessible::Name).trimmed().isEmpty()))
                unnamed << widget->objectName() + QLatin1Char(':') + QLatin1String(widget->metaObject()->className());
        }
        return unnamed;
    }

private slots:
    void init() {
        resetState({member(QStringLiteral("山田"), QStringLiteral("やまだ"), 1, 0),
                    member(QStringLiteral("佐藤"), QStringLiteral("さとう"), 2, 1),
                    member(QStringLiteral("鈴木"), QStringLiteral("すずき"), 3, 1)});
    }
    void cleanup() { closeWindow(); }

    void qtTextsInJapanese_data() {
        QTest::addColumn<bool>("translated");
        QTest::addColumn<int>("kind"); // 0 question, 1 message, 2 input box
        QTest::addColumn<QString>("press");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<bool>("answer"); // Yes, or a text typed
        const QStringList yesNo = {QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)")};
        QTest::newRow("はい") << true << 0 << yesNo[0] << yesNo << true;
        QTest::newRow("いいえ") << true << 0 << yesNo[1] << yesNo << false;
        QTest::newRow("OK") << true << 1 << "OK" << QStringList{u"OK"_s} << false;
        QTest::newRow("キャンセル") << true << 2 << "キャンセル" << QStringList{u"OK"_s, u"キャンセル"_s} << false;
        QTest::newRow("no translation") << false << 0 << "&Yes" << QStringList{u"&Yes"_s, u"&No"_s} << true;
    }
    void qtTextsInJapanese() {
        QFETCH(bool, translated);
        QFETCH(int, kind);
        QFETCH(QString, press);
        QFETCH(QStringList, buttons);
        QFETCH(bool, answer);
        QTemporaryDir empty;
        QCOMPARE(translated ? install_qt_translation() : install_qt_translation(empty.path()), translated);
        QStringList seen;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box || !box->isVisible() || !seen.isEmpty())
                return;
            QPushButton* pressed = nullptr;
            for (QPushButton* button : box->findChildren<QPushButton*>()) {
                seen << button->text();
                pressed = button->text() == press ? button : pressed;
            }
            if (pressed)
                pressed->click();
        });
        timer.start(20);
        QtPrompter prompter;
        bool answered = false;
        if (kind == 0)
            answered = prompter.askYesNo(QStringLiteral("よろしいですか？"), Prompter::Icon::Information);
        else if (kind == 1)
            prompter.showMessage(QStringLiteral("お知らせ"), Prompter::Icon::Information);
        else
            answered = !prompter.inputText(QStringLiteral("題"), QStringLiteral("名前"), QStringLiteral("a")).isEmpty();
        seen.sort();
        buttons.sort();
        QCOMPARE(seen, buttons);
        QCOMPARE(answered, answer);
        install_qt_translation();
    }

    // Escape and the close button answer No to a question (nothing is deleted or overwritten), but not to the
    // save questions, whose No gives up the changes: those wait for はい or いいえ.
    void escapeOnQuestions_data() {
        QTest::addColumn<bool>("saveQuestion");
        QTest::newRow("save question") << true;
        QTest::newRow("other question") << false;
    }
    void escapeOnQuestions() {
        QFETCH(bool, saveQuestion);
        bool stillOpen = false;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            timer.stop();
            QTest::keyClick(box, Qt::Key_Escape);
            box->close();
            stillOpen = box->isVisible();
            if (stillOpen)
                box->button(QMessageBox::Yes)->click();
        });
        timer.start(20);
        QtPrompter prompter;
        const QString text = QStringLiteral("現在のメンバーデータを保存します。よろしいですか？");
        const bool yes = saveQuestion ? prompter.askYesNoUntilAnswered(text, Prompter::Icon::Information)
                                      : prompter.askYesNo(text, Prompter::Icon::Information);
        QCOMPARE(stillOpen, saveQuestion);
        QCOMPARE(yes, saveQuestion);
    }

    void fileMenuShortcuts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("新規作成") << "mnu_new_entry" << QKeySequence(QStringLiteral("Ctrl+N"));
        QTest::newRow("開く") << "mnu_open_ently" << QKeySequence(QStringLiteral("Ctrl+O"));
        QTest::newRow("上書き保存") << "mnu_save_entry" << QKeySequence(QStringLiteral("Ctrl+S"));
        QTest::newRow("名前を付けて保存") << "mnu_save_change_filename" << QKeySequence(QStringLiteral("Ctrl+Shift+S"));
        QTest::newRow("終了") << "mnu_end" << QKeySequence(QStringLiteral("Ctrl+Q"));
    }
    void fileMenuShortcuts() {
        QFETCH(QString, name);
        QFETCH(QKeySequence, keys);
        startWindow({});
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QSignalSpy triggered(m_window->findChild<QAction*>(name), &QAction::triggered);
        QTest::keySequence(m_window.get(), keys);
        QCOMPARE(triggered.count(), 1);
    }

    // Alt pressed and released alone, or F10, puts the keyboard in the menu bar on its first menu: the arrows
    // move, Enter opens, Escape closes the menu and then leaves the menu bar for where the focus was.
    void menuBarFromTheKeyboard_data() {
        QTest::addColumn<bool>("f10");
        QTest::newRow("Alt") << false;
        QTest::newRow("F10") << true;
    }
    void menuBarFromTheKeyboard() {
        QFETCH(bool, f10);
        startWindow({}, true);
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QWidget* before = QApplication::focusWidget();
        QVERIFY(before);
        if (f10) {
            QTest::keyClick(before, Qt::Key_F10);
        } else {
            QTest::keyPress(before, Qt::Key_Alt, Qt::AltModifier);
            QTest::keyRelease(before, Qt::Key_Alt, Qt::AltModifier);
        }
        QMenuBar* bar = m_window->menuBar();
        const QList<QAction*> menus = bar->actions();
        QCOMPARE(QApplication::focusWidget(), bar);
        QCOMPARE(bar->activeAction(), menus.at(0));
        QTest::keyClick(bar, Qt::Key_Right);
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(bar->activeAction(), menus.at(2));
        QTest::keyClick(bar, Qt::Key_Return);
        QMenu* option = child<QMenu>(m_window.get(), "mnu_option");
        QTRY_VERIFY(option->isVisible());
        QTest::keyClick(option, Qt::Key_Escape);
        QVERIFY(!option->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(bar->activeAction(), nullptr);
        QCOMPARE(QApplication::focusWidget(), before);
    }

    void listAndGridKeys_data() {
        QTest::addColumn<bool>("memberView");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("expected");
        const int none = Qt::NoModifier;
        const int keypad = Qt::KeypadModifier;
        const QString unchanged = QStringLiteral("12:W:0:0 | 5:T:0:0");
        QTest::newRow("member Return") << true << 1 << 0 << int(Qt::Key_Return) << none
                                       << u"member editor 1 | current 0 | "_s + unchanged;
        QTest::newRow("member keypad Enter")
            << true << 2 << 0 << int(Qt::Key_Enter) << keypad << u"member editor 2 | current 0 | "_s + unchanged;
        QTest::newRow("member Delete") << true << 0 << 0 << int(Qt::Key_Delete) << none
                                       << QStringLiteral("山田 を消去します。よろしいですか？ | current 0 | ") +
                                              unchanged;
        QTest::newRow("grid Return") << false << 1 << 3 << int(Qt::Key_Return) << none
                                     << u"couple editor 1 | current 1 | "_s + unchanged;
        QTest::newRow("grid keypad Enter")
            << false << 2 << 0 << int(Qt::Key_Enter) << keypad << u"couple editor 0 | current 0 | "_s + unchanged;
        QTest::newRow("grid Enter on titles")
            << false << 0 << 1 << int(Qt::Key_Return) << none << u"current 0 | "_s + unchanged;
        QTest::newRow("grid Delete") << false << 1 << 3 << int(Qt::Key_Delete) << none
                                     << QStringLiteral("5 番を消去します。よろしいですか？ | current 0 | ") + unchanged;
        QTest::newRow("grid Space dance")
            << false << 1 << 3 << int(Qt::Key_Space) << none << QStringLiteral("current 1 | 12:W:0:0 | 5:TW:0:0");
        QTest::newRow("grid Space Reguler")
            << false << 2 << 11 << int(Qt::Key_Space) << none << QStringLiteral("current 0 | 12:W:1:0 | 5:T:0:0");
        QTest::newRow("grid Space MorL") << false << 1 << 12 << int(Qt::Key_Space) << none
                                         << QStringLiteral("current 1 | 12:W:0:0 | 5:T:0:1");
        QTest::newRow("grid Space on a title")
            << false << 0 << 3 << int(Qt::Key_Space) << none
            << QStringLiteral(
                   "シングルのカップルのみ W　の出場種目表示を反転させます。よろしいですか？ | current 0 | ") +
                   unchanged;
    }
    void listAndGridKeys() {
        QFETCH(bool, memberView);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, expected);
        CoupleGridView* grid = startWithTwoCouples(memberView);
        QWidget* target = grid;
        if (memberView) {
            m_window->memberList()->setCurrentItem(m_window->memberList()->topLevelItem(row));
            target = m_window->memberList();
        } else {
            grid->setCurrentCell(row, column);
        }
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(outcome(), expected);
    }

    // Tab walks every dialog in its designed order; Enter answers the default button, Escape the cancel button.
    void dialogKeys_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("tabOrder");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("couples"); // after the key, which always hides the dialog
        QTest::newRow("member editor") << "frm_member"
                                       << "txt_name txt_kana txt_highschool txt_department cmb_kaisei opt_leader "
                                          "cmd_ok cmd_cancel txt_name"
                                       << int(Qt::Key_Escape) << 2;
        QTest::newRow("couple editor Return") << "frm_couple"
                                              << "txt_pnum lvw_Leader opt_L_Filter_0 lvw_Partner opt_P_Filter_0 "
                                                 "cmd_OK cmd_Cancel txt_pnum"
                                              << int(Qt::Key_Return) << 3;
        QTest::newRow("couple editor Escape") << "frm_couple"
                                              << "txt_pnum" << int(Qt::Key_Escape) << 2;
        QTest::newRow("export dialog") << "frm_entry"
                                       << "txt_University txt_PartnerSchool txt_Head txt_Manager txt_Leaguemember "
                                          "cmb_Gname txt_Comment cmd_OK cmd_Cancel txt_University"
                                       << int(Qt::Key_Escape) << 2;
        QTest::newRow("university dialog") << "university"
                                           << "txt_University txt_PartnerSchool txt_Head txt_Manager "
                                              "txt_Leaguemember cmd_OK txt_University"
                                           << int(Qt::Key_Escape) << 2;
    }
    void dialogKeys() {
        QFETCH(QString, window);
        QFETCH(QString, tabOrder);
        QFETCH(int, key);
        QFETCH(int, couples);
        QStringList walked;
        QPointer<QWidget> dialog;
        withWindow(window, [&](QWidget* shown) {
            dialog = shown;
            shown->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(shown));
            walked << QApplication::focusWidget()->objectName();
            for (qsizetype i = tabOrder.count(u' '); i > 0; --i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                walked << QApplication::focusWidget()->objectName();
            }
            if (key == Qt::Key_Return) { // a couple chosen in the lists, where the focus stays
                // The pair of couple 12 once more: the double question is answered Yes.
                m_prompter.setNextAnswer(true);
                child<QLineEdit>(shown, "txt_pnum")->setText(QStringLiteral("7"));
                clickRow(child<QTreeWidget>(shown, "lvw_Leader"), 0);
                clickRow(child<QTreeWidget>(shown, "lvw_Partner"), 0);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        });
        QCOMPARE(walked.join(u' '), tabOrder);
        QVERIFY(!dialog || !dialog->isVisible());
        QCOMPARE(m_state.coupleCount, couples);
    }

    void everyInputHasAName_data() {
        QTest::addColumn<QString>("window");
        for (const char* window :
             {"frm_main", "frm_member", "frm_couple", "frm_entry", "university", "frm_member_import"})
            QTest::newRow(window) << QString::fromLatin1(window);
    }
    void everyInputHasAName() {
        QFETCH(QString, window);
        QString unnamed = u"not shown"_s;
        withWindow(window, [&unnamed](QWidget* shown) { unnamed = unnamedInputs(shown).join(u", "_s); });
        QCOMPARE(unnamed, QString());
    }

    // The grid tells a screen reader its cells and its titles as column headers; on screen row 0 stays the titles.
    void gridSpeaksItsCellsAndTitles() {
        CoupleGridView* grid = startWithTwoCouples();
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
        QVERIFY(table && table->tableInterface());
        QCOMPARE(table->tableInterface()->cellAt(2, 1)->text(QAccessible::Name), QStringLiteral("山田"));
        QCOMPARE(table->tableInterface()->cellAt(1, 4)->text(QAccessible::Name), QStringLiteral("○"));
        QStringList headers;
        for (int i = 0; i < table->childCount(); ++i) {
            if (table->child(i)->role() == QAccessible::ColumnHeader)
                headers << table->child(i)->text(QAccessible::Name);
        }
        QCOMPARE(headers, couple_grid_titles());
        QVERIFY(grid->horizontalHeader()->isHidden());
        QCOMPARE(cell(grid, 0, 11), QStringLiteral("Reguler"));
    }

    // Showing the couple view widens a window too narrow for the grid, never one the user made wide.
    void wholeGridInView_data() {
        QTest::addColumn<int>("userWidth"); // 0: as the program opened it
        QTest::newRow("as opened") << 0;
        QTest::newRow("widened by the user") << 780;
    }
    void wholeGridInView() {
        QFETCH(int, userWidth);
        CoupleGridView* grid = startWithTwoCouples(true);
        if (userWidth)
            m_window->resize(userWidth, m_window->height());
        const int before = m_window->width();
        QTest::mouseClick(child<QRadioButton>(m_window.get(), "optCouple"), Qt::LeftButton);
        const int last = kGridColumnCount - 1;
        QTRY_VERIFY(grid->columnViewportPosition(last) + grid->columnWidth(last) <= grid->viewport()->width());
        QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
        if (userWidth)
            QCOMPARE(m_window->width(), userWidth);
        else
            QVERIFY(m_window->width() > before);
    }

    void yearAdvanceShowsProgress_data() {
        QTest::addColumn<int>("delay");
        QTest::addColumn<QString>("seen");
        QTest::newRow("long")
            << 0
            << QStringLiteral("学年を１つあげたファイルを保存しています。（4 / 4）"); // member.dat and three entries
        QTest::newRow("short") << 60000 << QString();
    }
    void yearAdvanceShowsProgress() {
        QFETCH(int, delay);
        QFETCH(QString, seen);
        for (const char* name : {"a.ent", "b.ent", "c.ent"}) {
            AppState entry = m_state;
            entry.couples = {couple(1, m_state.members[0], {m_state.members[1]}, {QStringLiteral("W")})};
            entry.coupleCount = 1;
            QVERIFY(write_entry_file(m_dir.filePath(QLatin1String(name)), entry));
        }
        m_prompter.defaultAnswer = true;
        QString label;
        bool stoppable = false;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (!progress || !progress->isVisible())
                return;
            label = progress->labelText();
            QTest::keyClick(progress, Qt::Key_Escape);
            const bool closed = progress->close();
            stoppable = closed || !progress->isVisible() || !progress->findChildren<QPushButton*>().isEmpty();
        });
        timer.start(0);
        QVERIFY(run_year_advance(m_state, m_prompter, delay));
        QCOMPARE(label, seen);
        QVERIFY(!stoppable);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(m_state.members.at(0).year, quint8(2));
    }

    // With a thousand files the year advance's closing message still fits a 768-pixel screen, its details shown or
    // not: the summary names the first few files of each kind and the details every one.
    void yearAdvanceMessageFitsTheScreen() {
        AppState entry = m_state;
        entry.couples = {couple(1, m_state.members[0], {m_state.members[1]}, {QStringLiteral("W")})};
        entry.coupleCount = 1;
        QVERIFY(write_entry_file(m_dir.filePath(QStringLiteral("a0000.ent")), entry));
        const QByteArray advanced = testfiles::readBytes(m_dir.filePath(QStringLiteral("a0000.ent")));
        // Few of them rewritten, since each rewrite waits for the disk; the damaged ones cost nothing.
        for (int i = 1; i < 100; ++i)
            testfiles::writeBytes(m_dir.filePath(QStringLiteral("a%1.ent").arg(i, 4, 10, QLatin1Char('0'))), advanced);
        for (int i = 0; i < 900; ++i)
            testfiles::writeBytes(m_dir.filePath(QStringLiteral("d%1.ent").arg(i, 4, 10, QLatin1Char('0'))), "damaged");

        // The real message box; the two questions before it answered Yes.
        struct YesPrompter : QtPrompter {
            bool askYesNo(const QString&, Icon) override { return true; }
        } prompter;
        QString text;
        QString details;
        QList<int> heights; // collapsed, then with the details shown
        bool okVisible = false;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            timer.stop();
            text = box->text();
            details = box->detailedText();
            heights << std::max(box->height(), box->sizeHint().height());
            QAbstractButton* ok = box->button(QMessageBox::Ok);
            okVisible = ok && ok->isVisible() && box->rect().contains(QRect(ok->mapTo(box, QPoint()), ok->size()));
            for (QAbstractButton* button : box->buttons()) {
                if (box->buttonRole(button) == QMessageBox::ActionRole)
                    button->click(); // "show details"
            }
            QApplication::processEvents();
            heights << std::max(box->height(), box->sizeHint().height());
            box->accept();
        });
        timer.start(20);
        QVERIFY(run_year_advance(m_state, prompter, 60000));
        QCOMPARE(heights.size(), 2);
        for (int height : heights)
            QVERIFY2(height <= 768, qPrintable(QString::number(height)));
        QVERIFY(okVisible);
        QVERIFY2(text.contains(QStringLiteral("（101 件）")) && text.contains(QStringLiteral("（900 件）")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("backup")));
        QVERIFY(!text.contains(QStringLiteral("a0099.ent")) && !text.contains(QStringLiteral("d0899.ent")));
        QVERIFY(details.contains(QStringLiteral("a0099.ent")) && details.contains(QStringLiteral("d0899.ent")));
    }

    // Ten thousand couples of one leader for five dances: the conflict question lists a few back numbers a line and
    // still fits a 768-pixel screen, its details shown or not; the details hold every number.
    void conflictQuestionFitsTheScreen() {
        AppState state = m_state;
        for (qint32 number = 1; number <= 10000; ++number)
            state.couples << couple(number, m_state.members[0],
                                    {member(QStringLiteral("相手%1").arg(number), {}, 1, 1)},
                                    {QStringLiteral("WTFQV")});
        state.coupleCount = qint32(state.couples.size());
        QtPrompter prompter;
        QString text;
        QString details;
        QList<int> heights; // collapsed, then with the details shown
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            timer.stop();
            text = box->text();
            details = box->detailedText();
            heights << std::max(box->height(), box->sizeHint().height());
            for (QAbstractButton* button : box->buttons()) {
                if (box->buttonRole(button) == QMessageBox::ActionRole)
                    button->click(); // "show details"
            }
            QApplication::processEvents();
            heights << std::max(box->height(), box->sizeHint().height());
            box->button(QMessageBox::No)->click();
        });
        timer.start(20);
        qint32 first = -1;
        QVERIFY(!confirm_entry_conflicts(state, prompter, &first));
        QCOMPARE(first, 0);
        QCOMPARE(heights.size(), 2);
        for (int height : heights)
            QVERIFY2(height <= 768, qPrintable(QString::number(height)));
        QVERIFY2(text.contains(u"背番号 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 …ほか 9990 組"_s), qPrintable(text.left(2000)));
        QVERIFY(!text.contains(u"9999"_s));
        QVERIFY(details.contains(u"9998, 9999, 10000"_s));
    }

    // A failed check makes the failing couple's first row current and scrolls it into view.
    void failedCheckShowsTheCouple_data() {
        QTest::addColumn<int>("couples");
        QTest::addColumn<int>("failing"); // back number of the one couple without a dance
        QTest::addColumn<int>("row");
        QTest::newRow("second row") << 2 << 2 << 2;
        QTest::newRow("far down") << 60 << 57 << 57;
    }
    void failedCheckShowsTheCouple() {
        QFETCH(int, couples);
        QFETCH(int, failing);
        QFETCH(int, row);
        QList<CoupleRecord> list;
        for (int number = couples; number >= 1; --number) // stored backwards, shown in ascending order
            list << couple(number, m_state.members[0], {m_state.members[1]}, {number == failing ? u""_s : u"W"_s});
        CoupleGridView* grid = startWindow(list);
        grid->setCurrentCell(1, 3);
        QTest::mouseClick(child<QPushButton>(m_window.get(), "cmdEntry"), Qt::LeftButton);
        QCOMPARE(m_prompter.messages(),
                 QStringList{QStringLiteral("背番号%1\r出場種目が1種目以上必要です。").arg(failing)});
        QCOMPARE(grid->currentIndex().row(), row);
        QCOMPARE(grid->currentIndex().column(), 3);
        QVERIFY(grid->viewport()->rect().contains(grid->visualRect(grid->currentIndex())));
        QVERIFY(!m_window->entryDialog());
    }

    // A member entered twice for one dance: No makes the first couple involved current and opens nothing; Yes goes
    // on, and an empty competition list says once, before the dialog, where the names come from.
    void conflictAndEmptyCompetitionList() {
        const QList<MemberRecord>& m = m_state.members;
        CoupleGridView* grid = startWindow({couple(30, m[0], {m[2]}, {u"Q"_s}), couple(12, m[0], {m[1]}, {u"W"_s}),
                                            couple(5, m[0], {m[1]}, {u"TW"_s})});
        grid->setCurrentCell(1, 3); // couple 5 is on row 1, 12 on row 2, 30 on row 3
        grid->setCurrentCell(3, 3);
        QTest::mouseClick(child<QPushButton>(m_window.get(), "cmdEntry"), Qt::LeftButton);
        QCOMPARE(m_prompter.questions().size(), 1);
        const QString question = m_prompter.questions().first();
        QVERIFY2(question.contains(u"佐藤（さとう） ワルツ (W): 背番号 5, 12"_s), qPrintable(question));
        QCOMPARE(grid->currentIndex().row(), 1);
        QVERIFY(!m_window->entryDialog());
        QVERIFY(m_prompter.messages().isEmpty());

        for (int press = 0; press < 2; ++press) { // the second press finds the dialog open
            m_prompter.setNextAnswer(true);
            QTest::mouseClick(child<QPushButton>(m_window.get(), "cmdEntry"), Qt::LeftButton);
            QVERIFY(m_window->entryDialog() && m_window->entryDialog()->isVisible());
        }
        QCOMPARE(m_prompter.messages().size(), 1);
        const QString note = m_prompter.messages().first();
        QVERIFY(note.contains(u"Gamename.txt"_s));
        QVERIFY(note.contains(QDir::toNativeSeparators(QDir::cleanPath(m_state.appFolder))));
        QVERIFY(note.contains(u"ヘルプ → データフォルダを開く"_s));
        QCOMPARE(m_prompter.questions().size(), 3);
    }
};

QTEST_MAIN(TestUsability)
#include "tst_usability.moc"
