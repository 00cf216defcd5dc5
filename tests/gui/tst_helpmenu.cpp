// The help menu: its place after the option menu, opening the data folder (and saying so when that fails), and
// the version box.

#include "guitest.h"
#include "scriptedprompter.h"
#include "testfiles.h"
#include "version.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

using namespace guitest;

class TestHelpMenu : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    AppState m_state;
    std::unique_ptr<MainWindow> m_window;

    void startWindow(ScriptedPrompter& prompter) {
        m_window = std::make_unique<MainWindow>(m_state, prompter);
        m_window->start_main();
    }
    QString shownFolder() const { return QDir::toNativeSeparators(QDir::cleanPath(m_state.appFolder)); }

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        m_state = testfiles::stateIn(m_dir);
    }
    void cleanup() { m_window.reset(); }

    void helpMenuComesAfterTheOptionMenu() {
        ScriptedPrompter prompter;
        startWindow(prompter);
        auto* option = child<QMenu>(m_window.get(), "mnu_option");
        auto* help = child<QMenu>(m_window.get(), "mnu_help");
        QVERIFY(option && help);
        QCOMPARE(help->title(), QStringLiteral("ヘルプ"));
        const QList<QAction*> menus = m_window->menuBar()->actions();
        QCOMPARE(menus.indexOf(help->menuAction()), menus.indexOf(option->menuAction()) + 1);
        QCOMPARE(menus.last(), help->menuAction());

        const QList<QAction*> entries = help->actions();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.at(0)->objectName(), QStringLiteral("mnu_open_data_folder"));
        QCOMPARE(entries.at(0)->text(), QStringLiteral("データフォルダを開く"));
        QCOMPARE(entries.at(1)->objectName(), QStringLiteral("mnu_about"));
        QCOMPARE(entries.at(1)->text(), QStringLiteral("バージョン情報"));
    }

    // What each entry asks of the prompter: the folder it shows, and the message after it (if any).
    void entriesUseTheDataFolder_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("folderShows");
        QTest::addColumn<bool>("folderAsked");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("messageParts"); // empty: no message

        const QStringList about = {
            QStringLiteral("DanceEntry バージョン " DANCEENTRY_VERSION), QStringLiteral("データフォルダ: %1"),
            QStringLiteral("Qt バージョン: ") + QLatin1String(qVersion()), QStringLiteral("ライセンス: MIT")};
        QTest::newRow("open folder") << "mnu_open_data_folder" << true << true << 0 << QStringList();
        QTest::newRow("file manager fails")
            << "mnu_open_data_folder" << false << true << int(Prompter::Icon::Exclamation)
            << QStringList{QStringLiteral("データフォルダ「%1」をファイルマネージャーで開けませんでした。")};
        QTest::newRow("about") << "mnu_about" << true << false << int(Prompter::Icon::Information) << about;
    }
    void entriesUseTheDataFolder() {
        QFETCH(QString, entry);
        QFETCH(bool, folderShows);
        QFETCH(bool, folderAsked);
        QFETCH(int, icon);
        QFETCH(QStringList, messageParts);
        ScriptedPrompter prompter;
        prompter.folderShows = folderShows;
        startWindow(prompter);
        m_window->findChild<QAction*>(entry)->trigger();

        QList<ScriptedPrompter::Shown> shown = prompter.shown();
        if (folderAsked) {
            QVERIFY(!shown.isEmpty());
            QCOMPARE(shown.first().kind, ScriptedPrompter::Shown::Folder);
            QCOMPARE(shown.first().text, m_state.appFolder);
            shown.removeFirst();
        }
        if (messageParts.isEmpty()) {
            QVERIFY(shown.isEmpty());
            return;
        }
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, ScriptedPrompter::Shown::Message);
        QCOMPARE(int(shown.first().icon), icon);
        for (QString part : messageParts) {
            part.replace(QStringLiteral("%1"), shownFolder());
            QVERIFY2(shown.first().text.contains(part), qPrintable(shown.first().text));
        }
    }
};

QTEST_MAIN(TestHelpMenu)
#include "tst_helpmenu.moc"
