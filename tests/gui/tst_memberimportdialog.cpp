// The member import through the main window's menu: the file dialog, files that cannot be read, the preview
// with its refused rows and role options, and the ways the preview is closed.

#include "cp932.h"
#include "guitest.h"
#include "memberimportdialog.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace guitest;
using testfiles::member;

namespace {

// What the preview showed while it was open.
struct Preview {
    bool seen = false;
    QList<QStringList> rows;    // every cell, row by row
    QList<bool> reasonMarked;   // the 状態 cell in another colour than an importable row's
    QStringList rolesAsPartner; // the 役割 column after Partner was chosen
    QString button;             // the caption of 取り込み
    bool buttonEnabled = false;
    QString title;
    bool accessible = false; // the table and the option group have accessible names
};

QStringList rowCells(QTableWidget* table, int row) {
    QStringList cells;
    for (int column = 0; column < table->columnCount(); ++column)
        cells << table->item(row, column)->text();
    return cells;
}

} // namespace

class TestMemberImportDialog : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    AppState m_state;
    ScriptedPrompter m_prompter;
    std::unique_ptr<MainWindow> m_window;

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        testfiles::writeBytes(path, bytes);
        return path;
    }

    // Chooses 取り込み in the option menu with `path` as the file dialog's answer. While the preview is open,
    // records what it shows, chooses Partner, and then closes it with `close`.
    Preview runImport(const QString& path, const std::function<void(QDialog*)>& close) {
        m_prompter.setNextFile(path);
        Preview preview;
        // A timer of this call, so that nothing of it is left behind when no preview opens.
        QTimer timer;
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, &timer, [&preview, &close, &timer] {
            auto* dialog = qobject_cast<MemberImportDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            timer.stop();
            preview.seen = true;
            auto* table = child<QTableWidget>(dialog, "grd_import");
            auto* importButton = child<QPushButton>(dialog, "cmd_import");
            preview.title = dialog->windowTitle();
            preview.button = importButton->text();
            preview.buttonEnabled = importButton->isEnabled();
            preview.accessible = !table->accessibleName().isEmpty() &&
                                 !child<QWidget>(dialog, "fra_import_role")->accessibleName().isEmpty();
            const QColor normal = table->palette().color(QPalette::Text);
            for (int row = 0; row < table->rowCount(); ++row) {
                preview.rows << rowCells(table, row);
                const QBrush reason = table->item(row, kMemberColumnCount)->foreground();
                preview.reasonMarked << (reason.style() != Qt::NoBrush && reason.color() != normal);
            }
            QTest::mouseClick(child<QRadioButton>(dialog, "opt_import_partner"), Qt::LeftButton);
            for (int row = 0; row < table->rowCount(); ++row)
                preview.rolesAsPartner << table->item(row, kMemberColRole)->text();
            close(dialog);
        });
        timer.start();
        child<QAction>(m_window.get(), "mnu_member_import")->trigger();
        return preview;
    }

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        m_state = testfiles::stateIn(m_dir);
        m_state.members = {member(QStringLiteral("山田"), QStringLiteral("やまだ"), 3, 0),
                           member(QStringLiteral("佐藤"), QStringLiteral("さとう"), 2, 1)};
        m_state.memberCount = 2;
        m_prompter = ScriptedPrompter();
        m_window = std::make_unique<MainWindow>(m_state, m_prompter);
        m_window->start_main();
    }
    void cleanup() { m_window.reset(); }

    void menuEntryAndCancelledFileDialog() {
        QAction* entry = child<QMenu>(m_window.get(), "mnu_option")->actions().constLast();
        QCOMPARE(entry->objectName(), QStringLiteral("mnu_member_import"));
        QCOMPARE(entry->text(), QStringLiteral("メンバーCSV取り込み"));
        QVERIFY(entry->isEnabled());

        const AppState before = m_state;
        entry->trigger(); // the file dialog is cancelled
        QCOMPARE(m_prompter.shown().size(), 1);
        const Prompter::FileRequest& request = m_prompter.shown().constFirst().file;
        QVERIFY(request.open);
        QCOMPARE(request.title, QStringLiteral("メンバーCSV取り込み"));
        QCOMPARE(request.filter, QStringLiteral("CSVファイル(*.csv)|*.csv|テキストファイル(*.txt)|*.txt|"));
        QVERIFY(m_state == before);
    }

    // A file that cannot be read gives the reader's message and opens no preview.
    void unreadableFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // empty: the file is not created
        QTest::newRow("missing") << QStringLiteral("none.csv") << QByteArray();
        QTest::newRow("header only") << QStringLiteral("header.csv") << QByteArray("名前,かな\r\n");
        QTest::newRow("binary") << QStringLiteral("binary.csv") << QByteArray("\x00\x01\x02", 3);
    }
    void unreadableFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString path = bytes.isEmpty() ? m_dir.filePath(name) : writeFile(name, bytes);
        const AppState before = m_state;
        const Preview preview = runImport(path, [](QDialog* dialog) { dialog->reject(); });
        QVERIFY(!preview.seen);
        QCOMPARE(m_prompter.messages().size(), 1);
        QVERIFY2(m_prompter.messages().constFirst().contains(name), qPrintable(m_prompter.messages().constFirst()));
        QCOMPARE(m_prompter.shown().constLast().icon, Prompter::Icon::Exclamation);
        QVERIFY(m_state == before);
        QCOMPARE(m_window->windowTitle(), memberCaption(2));
    }

    // A spreadsheet's CSV (UTF-8 with a byte-order mark, CR LF): two importable rows, one without a role, one
    // already in the roster and one with a year out of range; closed in each of the ways a user closes it.
    void preview_data() {
        QTest::addColumn<int>("close"); // 0 取り込み, 1 Enter, 2 キャンセル, 3 Escape, 4 the close box
        QTest::addColumn<bool>("imports");
        QTest::newRow("取り込み") << 0 << true;
        QTest::newRow("Enter") << 1 << true;
        QTest::newRow("キャンセル") << 2 << false;
        QTest::newRow("Escape") << 3 << false;
        QTest::newRow("close box") << 4 << false;
    }
    void preview() {
        QFETCH(int, close);
        QFETCH(bool, imports);
        const QString path = writeFile(QStringLiteral("新入生.csv"), "\xEF\xBB\xBF"
                                                                     "名前,かな,回生,学部,出身高校,役割\r\n"
                                                                     "新井,あらい,1,文学部,\"北高, 本校\",\r\n"
                                                                     "上田,うえだ,２回生,,南高,P\r\n"
                                                                     "山田,やまだ,3,,,\r\n"
                                                                     "木村,きむら,5,,,leader\r\n");
        const AppState before = m_state;
        QSignalSpy rosterChanged(m_state.notifier.get(), &StateNotifier::rosterChanged);
        const Preview preview = runImport(path, [close](QDialog* dialog) {
            QWidget* table = child<QWidget>(dialog, "grd_import");
            switch (close) {
            case 0:
                QTest::mouseClick(child<QPushButton>(dialog, "cmd_import"), Qt::LeftButton);
                break;
            case 1:
                QTest::keyClick(table, Qt::Key_Return);
                break;
            case 2:
                QTest::mouseClick(child<QPushButton>(dialog, "cmd_import_cancel"), Qt::LeftButton);
                break;
            case 3:
                QTest::keyClick(table, Qt::Key_Escape);
                break;
            default:
                dialog->close();
            }
        });

        QVERIFY(preview.seen);
        QCOMPARE(preview.title, QStringLiteral("メンバー取り込み"));
        QVERIFY(preview.accessible);
        const QString leader = QStringLiteral("leader");
        const QList<QStringList> rows = {
            {QStringLiteral("新井"), QStringLiteral("あらい"), QStringLiteral("1"), QStringLiteral("文学部"),
             QStringLiteral("北高, 本校"), leader, QStringLiteral("取り込み")},
            {QStringLiteral("上田"), QStringLiteral("うえだ"), QStringLiteral("２回生"), QString(),
             QStringLiteral("南高"), QStringLiteral("P"), QStringLiteral("取り込み")},
            {QStringLiteral("山田"), QStringLiteral("やまだ"), QStringLiteral("3"), QString(), QString(), leader,
             QStringLiteral("登録済み")},
            {QStringLiteral("木村"), QStringLiteral("きむら"), QStringLiteral("5"), QString(), QString(), leader,
             QStringLiteral("回生が1～4でない")}};
        QCOMPARE(preview.rows, rows);
        QCOMPARE(preview.reasonMarked, (QList<bool>{false, false, true, true}));
        QCOMPARE(preview.button, QStringLiteral("取り込み（2人）"));
        QVERIFY(preview.buttonEnabled);
        // Partner reaches the rows without a role only.
        QCOMPARE(preview.rolesAsPartner,
                 (QStringList{QStringLiteral("partner"), QStringLiteral("P"), QStringLiteral("partner"), leader}));

        if (!imports) {
            QVERIFY(m_state == before);
            QCOMPARE(rosterChanged.count(), 0);
            QCOMPARE(m_window->windowTitle(), memberCaption(2));
            return;
        }
        MemberRecord arai = member(QStringLiteral("新井"), QStringLiteral("あらい"), 1, 1);
        arai.department = QStringLiteral("文学部");
        arai.highschool = QStringLiteral("北高, 本校");
        MemberRecord ueda = member(QStringLiteral("上田"), QStringLiteral("うえだ"), 2, 1);
        ueda.highschool = QStringLiteral("南高");
        QCOMPARE(m_state.memberCount, 4);
        QCOMPARE(m_state.members.mid(0, 2), before.members);
        QCOMPARE(m_state.members.mid(2), (QList<MemberRecord>{arai, ueda}));
        QVERIFY(m_state.membersChanged);
        QCOMPARE(rosterChanged.count(), 1);
        QCOMPARE(m_window->windowTitle(), memberCaption(4));
        QVERIFY(listedNames(m_window->memberList()).contains(QStringLiteral("上田")));
        QCOMPARE(m_window->memberList()->topLevelItemCount(), 4);
        QVERIFY(m_prompter.messages().isEmpty());
    }

    // Nothing to import (a code page 932 file): 取り込み is disabled and Enter does not close the preview.
    void nothingImportable() {
        QByteArray bytes;
        QVERIFY(cp932::encode(QStringLiteral("山田,やまだ,3\r\n,ななし,1\r\n"), &bytes));
        const QString path = writeFile(QStringLiteral("old.txt"), bytes);
        const AppState before = m_state;
        bool openAfterEnter = false;
        const Preview preview = runImport(path, [&openAfterEnter](QDialog* dialog) {
            QTest::keyClick(child<QWidget>(dialog, "grd_import"), Qt::Key_Return);
            openAfterEnter = dialog->isVisible();
            QTest::keyClick(child<QWidget>(dialog, "grd_import"), Qt::Key_Escape);
        });
        QVERIFY(preview.seen);
        QCOMPARE(preview.rows.size(), 2);
        QCOMPARE(preview.rows[0].constLast(), QStringLiteral("登録済み"));
        QCOMPARE(preview.rows[1].constLast(), QStringLiteral("名前なし"));
        QCOMPARE(preview.button, QStringLiteral("取り込み（0人）"));
        QVERIFY(!preview.buttonEnabled);
        QVERIFY(openAfterEnter);
        QVERIFY(m_state == before);
    }
};

QTEST_MAIN(TestMemberImportDialog)
#include "tst_memberimportdialog.moc"
