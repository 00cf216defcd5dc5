// The member import through the main window's menu: the file dialog, files that cannot be read, the preview
// with its refused rows and role options, and the ways the preview is closed.

#include "guitest.h"
#include "memberimportdialog.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QAction>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace guitest;
using testfiles::member;

// What the preview showed while it was open: every row's cells, whether its 状態 cell has a colour of its
// own, the 役割 column after Partner was chosen, and the caption of 取り込み.
struct Preview {
    bool seen = false;
    QList<QStringList> rows;
    QList<bool> marked;
    QStringList rolesAsPartner;
    QString button;
};

class TestMemberImportDialog : public QObject, public MainWindowFixture {
    Q_OBJECT

    // Chooses メンバーCSV取り込み with `path` as the file dialog's answer; while the preview is open, records it,
    // chooses Partner and closes it with `close`.
    Preview runImport(const QString& path, const std::function<void(QDialog*, QWidget* table)>& close) {
        m_prompter.setNextFile(path);
        Preview preview;
        QTimer timer; // belongs to this call, so nothing is left behind when no preview opens
        connect(&timer, &QTimer::timeout, &timer, [&] {
            auto* dialog = qobject_cast<MemberImportDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            timer.stop();
            preview.seen = dialog->windowTitle() == QStringLiteral("メンバー取り込み");
            auto* table = child<QTableWidget>(dialog, "grd_import");
            for (int row = 0; row < table->rowCount(); ++row) {
                preview.rows << QStringList();
                for (int column = 0; column < table->columnCount(); ++column)
                    preview.rows.last() << table->item(row, column)->text();
                preview.marked << (table->item(row, kMemberColumnCount)->foreground().style() != Qt::NoBrush);
            }
            preview.button = child<QPushButton>(dialog, "cmd_import")->text();
            QTest::mouseClick(child<QRadioButton>(dialog, "opt_import_partner"), Qt::LeftButton);
            for (int row = 0; row < table->rowCount(); ++row)
                preview.rolesAsPartner << table->item(row, kMemberColRole)->text();
            close(dialog, table);
        });
        timer.start(20);
        child<QAction>(m_window.get(), "mnu_member_import")->trigger();
        return preview;
    }

private slots:
    void init() {
        resetState({member(QStringLiteral("山田"), QStringLiteral("やまだ"), 3, 0)});
        startWindow();
    }
    void cleanup() { closeWindow(); }

    // Cancelled, or a file that cannot be read (the reader's message): nothing changes, no preview opens.
    void nothingToPreview_data() {
        QTest::addColumn<QString>("name"); // empty: the file dialog is cancelled
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("cancelled") << QString() << QByteArray();
        QTest::newRow("missing") << QStringLiteral("none.csv") << QByteArray();
        QTest::newRow("header only") << QStringLiteral("header.csv") << QByteArray("名前,かな\r\n");
    }
    void nothingToPreview() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        if (!bytes.isEmpty())
            testfiles::writeBytes(m_dir.filePath(name), bytes);
        const AppState before = m_state;
        const Preview preview = runImport(name.isEmpty() ? QString() : m_dir.filePath(name), {});
        QVERIFY(!preview.seen);
        const Prompter::FileRequest& request = m_prompter.shown().constFirst().file;
        QVERIFY(request.open);
        QCOMPARE(request.title, QStringLiteral("メンバーCSV取り込み"));
        QCOMPARE(request.filter, QStringLiteral("CSVファイル(*.csv)|*.csv|テキストファイル(*.txt)|*.txt|"));
        QCOMPARE(m_prompter.messages().size(), name.isEmpty() ? 0 : 1);
        if (!name.isEmpty()) {
            QVERIFY(m_prompter.messages().constFirst().contains(name));
            QCOMPARE(m_prompter.shown().constLast().icon, Prompter::Icon::Exclamation);
        }
        QVERIFY(m_state == before);
    }

    // A spreadsheet's CSV (UTF-8 with a byte-order mark, CR LF): a row without a role, one with a role, one
    // already in the roster and one with a year out of range; closed in each way a user closes it.
    void preview_data() {
        QTest::addColumn<int>("close"); // 0 取り込み, 1 Enter, 2 キャンセル, 3 Escape
        QTest::addColumn<bool>("imports");
        QTest::newRow("取り込み") << 0 << true;
        QTest::newRow("Enter") << 1 << true;
        QTest::newRow("キャンセル") << 2 << false;
        QTest::newRow("Escape") << 3 << false;
    }
    void preview() {
        QFETCH(int, close);
        QFETCH(bool, imports);
        const QString path = m_dir.filePath(QStringLiteral("新入生.csv"));
        testfiles::writeBytes(
            path, "\xEF\xBB\xBF名前,かな,回生,学部,出身高校,役割\r\n新井,あらい,1,文学部,\"北高, 本校\",\r\n"
                  "上田,うえだ,２回生,,,P\r\n山田,やまだ,3,,,\r\n木村,きむら,5,,,leader\r\n");
        const AppState before = m_state;
        QSignalSpy rosterChanged(m_state.notifier.get(), &StateNotifier::rosterChanged);
        const Preview preview = runImport(path, [close](QDialog* dialog, QWidget* table) {
            if (close % 2 == 0)
                QTest::mouseClick(child<QPushButton>(dialog, close == 0 ? "cmd_import" : "cmd_import_cancel"),
                                  Qt::LeftButton);
            else
                QTest::keyClick(table, close == 1 ? Qt::Key_Return : Qt::Key_Escape);
        });
        QVERIFY(preview.seen);
        QCOMPARE(preview.rows.value(0),
                 (QStringList{QStringLiteral("新井"), QStringLiteral("あらい"), QStringLiteral("1"),
                              QStringLiteral("文学部"), QStringLiteral("北高, 本校"), QStringLiteral("leader"),
                              QStringLiteral("取り込み")}));
        QStringList states;
        for (const QStringList& row : preview.rows)
            states << row.constLast();
        QCOMPARE(states, (QStringList{QStringLiteral("取り込み"), QStringLiteral("取り込み"),
                                      QStringLiteral("登録済み"), QStringLiteral("回生が1～4でない")}));
        QCOMPARE(preview.marked, (QList<bool>{false, false, true, true}));
        QCOMPARE(preview.button, QStringLiteral("取り込み（2人）"));
        // Partner reaches the rows without a role only.
        QCOMPARE(preview.rolesAsPartner, (QStringList{QStringLiteral("partner"), QStringLiteral("P"),
                                                      QStringLiteral("partner"), QStringLiteral("leader")}));
        if (!imports) {
            QVERIFY(m_state == before);
            QCOMPARE(rosterChanged.count(), 0);
            return;
        }
        MemberRecord arai = member(QStringLiteral("新井"), QStringLiteral("あらい"), 1, 1);
        arai.department = QStringLiteral("文学部");
        arai.highschool = QStringLiteral("北高, 本校");
        QCOMPARE(m_state.members,
                 (QList<MemberRecord>{before.members[0], arai,
                                      member(QStringLiteral("上田"), QStringLiteral("うえだ"), 2, 1)}));
        QCOMPARE(m_state.memberCount, 3);
        QVERIFY(m_state.membersChanged);
        QCOMPARE(rosterChanged.count(), 1);
        QCOMPARE(m_window->windowTitle(), memberCaption(3));
        QCOMPARE(m_window->memberList()->topLevelItemCount(), 3);
    }

    // However long a text is, the columns stop at a readable width and the window stays on the screen; the cell
    // holds no more than it can show (so that painting it stays quick), its tooltip the text in short lines.
    void longTexts() {
        const QString path = m_dir.filePath(QStringLiteral("長い.csv"));
        testfiles::writeBytes(path, "名前,かな,回生\r\n" + QByteArray(70000, 'x') + ",x,1\r\n");
        QString shownName;
        QString tip;
        int widest = 0;
        QSize size;
        const Preview preview = runImport(path, [&](QDialog* dialog, QWidget* widget) {
            auto* table = qobject_cast<QTableWidget*>(widget);
            for (int column = 0; column < kMemberColumnCount; ++column)
                widest = std::max(widest, table->columnWidth(column));
            shownName = table->item(0, kMemberColName)->text();
            tip = table->item(0, kMemberColName)->toolTip();
            size = dialog->size();
            dialog->reject();
        });
        QVERIFY(preview.seen);
        const QSize screen = m_window->screen()->availableGeometry().size();
        QVERIFY2(size.width() <= screen.width() && size.height() <= screen.height(),
                 qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
        QVERIFY2(widest < 300, qPrintable(QString::number(widest)));
        QCOMPARE(shownName, QString(256, QLatin1Char('x')) + QChar(0x2026));
        QCOMPARE(tip.section(QLatin1Char('\n'), 0, 0), QString(40, QLatin1Char('x')));
    }
};

QTEST_MAIN(TestMemberImportDialog)
#include "tst_memberimportdialog.moc"
