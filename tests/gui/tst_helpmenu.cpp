// The help menu: its place after the option menu, the user guide (from the menu and F1, and the message when it is
// not found), opening the data folder (and saying so when that fails), and the version box.

#include "guidewindow.h"
#include "guitest.h"
#include "scriptedprompter.h"
#include "testfiles.h"
#include "version.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>

using namespace guitest;

class TestHelpMenu : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    AppState m_state;
    std::unique_ptr<MainWindow> m_window;

    void startWindow(ScriptedPrompter& prompter) {
        m_window = std::make_unique<MainWindow>(m_state, prompter);
        m_window->openWindow();
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
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries.at(0)->objectName(), QStringLiteral("mnu_guide"));
        QCOMPARE(entries.at(0)->text(), QStringLiteral("使い方"));
        QCOMPARE(entries.at(0)->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(entries.at(1)->objectName(), QStringLiteral("mnu_open_data_folder"));
        QCOMPARE(entries.at(1)->text(), QStringLiteral("データフォルダを開く"));
        QCOMPARE(entries.at(2)->objectName(), QStringLiteral("mnu_about"));
        QCOMPARE(entries.at(2)->text(), QStringLiteral("バージョン情報"));
    }

    // The guide of the source tree (the tests run from the build tree), opened from the menu or with F1: one
    // window, its first heading at the top, its pictures found beside it, closed by Escape.
    void guideOpens_data() {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("menu") << false;
        QTest::newRow("F1") << true;
    }
    void guideOpens() {
        QFETCH(bool, byKey);
        ScriptedPrompter prompter;
        startWindow(prompter);
        const auto open = [&] {
            if (byKey) {
                m_window->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
                QTest::keyClick(m_window.get(), Qt::Key_F1);
            } else {
                m_window->findChild<QAction*>(QStringLiteral("mnu_guide"))->trigger();
            }
        };
        open();
        auto* guide = child<GuideWindow>(m_window.get(), "frm_guide");
        QVERIFY(guide);
        QVERIFY(guide->isVisible());
        QVERIFY(prompter.shown().isEmpty());
        QCOMPARE(guide->windowTitle(), QStringLiteral("使い方 – DanceEntry"));
        auto* text = child<QTextBrowser>(guide, "txt_guide");
        QVERIFY(text);
        QVERIFY2(text->toPlainText().startsWith(QStringLiteral("DanceEntry の使い方\n")),
                 qPrintable(text->toPlainText().left(80)));
        QCOMPARE(text->verticalScrollBar()->value(), 0);
        const QVariant picture =
            text->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("guide/members.png")));
        QVERIFY2(!picture.isNull(), "the guide's pictures are not found beside it");

        // Every link of the table of contents leads to a heading of the guide.
        int contentsLinks = 0;
        for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next()) {
            for (auto part = block.begin(); !part.atEnd(); ++part) {
                const QString href = part.fragment().charFormat().anchorHref();
                if (!href.startsWith(QLatin1Char('#')))
                    continue;
                ++contentsLinks;
                QVERIFY2(guide->showHeading(QUrl(href).fragment(QUrl::FullyDecoded)), qPrintable(href));
            }
        }
        QVERIFY(contentsLinks >= 10);
        QVERIFY(text->verticalScrollBar()->value() > 0);

        open(); // again: the open window comes to the front, no second one
        QCOMPARE(m_window->findChildren<GuideWindow*>().size(), 1);

        QPointer<GuideWindow> closing = guide;
        QTest::keyClick(text, Qt::Key_Escape);
        QTRY_VERIFY(!closing);
    }

    void missingGuideNamesWhereItLooked() {
        ScriptedPrompter prompter;
        startWindow(prompter);
        const QStringList places = {m_dir.filePath(QStringLiteral("a/guide-ja.md")),
                                    m_dir.filePath(QStringLiteral("b/guide-ja.md"))};
        QVERIFY(!open_guide(m_window.get(), prompter, places));
        QVERIFY(!m_window->findChild<GuideWindow*>());
        const QList<ScriptedPrompter::Shown> shown = prompter.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, ScriptedPrompter::Shown::Message);
        QCOMPARE(shown.first().icon, Prompter::Icon::Exclamation);
        QVERIFY(shown.first().text.startsWith(QStringLiteral("使い方（guide-ja.md）が見つかりませんでした。")));
        for (const QString& place : places)
            QVERIFY2(shown.first().text.contains(QDir::toNativeSeparators(place)), qPrintable(shown.first().text));
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
