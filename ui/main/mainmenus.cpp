#include "mainwindow.h"

#include "dialogsupport.h"
#include "undohistory.h"

#include <QMenu>
#include <QMenuBar>
#include <QUndoGroup>

// The main window's menus and their keys.

namespace {
// The platform's standard keys for a command; `fallback` where the platform has none for it (no platform binds
// "save as" everywhere, and some none for "quit").
void setStandardShortcut(QAction* action, QKeySequence::StandardKey key, const QKeySequence& fallback) {
    const QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    action->setShortcuts(keys.isEmpty() ? QList<QKeySequence>{fallback} : keys);
}
} // namespace

using dialogsupport::named;

void MainWindow::createMenus() {
    m_fileMenu = named(menuBar()->addMenu(QStringLiteral("ファイル")), "mnu_file");
    m_editMenu = named(menuBar()->addMenu(QStringLiteral("編集")), "mnu_edit");
    m_optionMenu = named(menuBar()->addMenu(QStringLiteral("オプション")), "mnu_option");
    m_helpMenu = named(menuBar()->addMenu(QStringLiteral("ヘルプ")), "mnu_help");

    const auto add = [this](QMenu* menu, const char* name, const QString& caption, void (MainWindow::*command)()) {
        QAction* action = named(menu->addAction(caption), name);
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    const auto separator = [](QMenu* menu, const char* name) { named(menu->addSeparator(), name); };

    m_newEntryAction =
        add(m_fileMenu, "mnu_new_entry", QStringLiteral("エントリーファイル新規作成"), &MainWindow::newEntryFile);
    m_openEntryAction =
        add(m_fileMenu, "mnu_open_ently", QStringLiteral("エントリーファイルを開く"), &MainWindow::openEntryFile);
    separator(m_fileMenu, "mnu_tmp");
    m_saveEntryAction =
        add(m_fileMenu, "mnu_save_entry", QStringLiteral("エントリーファイルの上書き保存"), &MainWindow::saveEntryFile);
    m_saveEntryAsAction = add(m_fileMenu, "mnu_save_change_filename",
                              QStringLiteral("エントリーファイルを名前を付けて保存"), &MainWindow::saveEntryFileAs);
    separator(m_fileMenu, "mnu_tmp2");
    m_saveMembersAction =
        add(m_fileMenu, "mnu__save_member", QStringLiteral("メンバーファイル保存"), &MainWindow::saveMemberFile);
    separator(m_fileMenu, "mnu_tmp1");
    m_printPreviewAction =
        add(m_fileMenu, "mnu_print_preview", QStringLiteral("印刷プレビュー"), &MainWindow::previewPrint);
    m_printAction = add(m_fileMenu, "mnu_print", QStringLiteral("印刷"), &MainWindow::printDocuments);
    m_pdfAction = add(m_fileMenu, "mnu_pdf", QStringLiteral("PDF出力"), &MainWindow::exportPdf);
    separator(m_fileMenu, "mnu_print_separator");
    m_quitAction = named(m_fileMenu->addAction(QStringLiteral("終了")), "mnu_end");
    connect(m_quitAction, &QAction::triggered, this, &QWidget::close);

    // "元に戻す メンバー削除": the caption names the step; with nothing to undo it is "元に戻す", disabled.
    m_undoAction = named(m_history->group()->createUndoAction(this, QStringLiteral("元に戻す")), "mnu_undo");
    m_redoAction = named(m_history->group()->createRedoAction(this, QStringLiteral("やり直し")), "mnu_redo");
    m_editMenu->addAction(m_undoAction);
    m_editMenu->addAction(m_redoAction);

    m_universityAction = add(m_optionMenu, "mnu_Uni", QStringLiteral("大学情報変更"), &MainWindow::editUniversityInfo);
    add(m_optionMenu, "mnu_game_names", QStringLiteral("試合名の編集"), &MainWindow::editGameNames);
    m_advanceYearsAction = add(m_optionMenu, "mnu_up_Grade", QStringLiteral("すべてのメンバーの学年を１つあげる"),
                               &MainWindow::advanceYears);
    m_memberTextAction =
        add(m_optionMenu, "mnu_member_out", QStringLiteral("メンバーテキスト出力"), &MainWindow::exportMemberText);
    m_memberImportAction =
        add(m_optionMenu, "mnu_member_import", QStringLiteral("メンバーCSV取り込み"), &MainWindow::importMembers);

    m_guideAction = add(m_helpMenu, "mnu_guide", QStringLiteral("使い方"), &MainWindow::showGuide);
    m_openDataFolderAction =
        add(m_helpMenu, "mnu_open_data_folder", QStringLiteral("データフォルダを開く"), &MainWindow::openDataFolder);
    m_aboutAction = add(m_helpMenu, "mnu_about", QStringLiteral("バージョン情報"), &MainWindow::showAbout);
}

void MainWindow::addShortcuts() {
    setStandardShortcut(m_newEntryAction, QKeySequence::New, QKeySequence(Qt::CTRL | Qt::Key_N));
    setStandardShortcut(m_openEntryAction, QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O));
    setStandardShortcut(m_saveEntryAction, QKeySequence::Save, QKeySequence(Qt::CTRL | Qt::Key_S));
    setStandardShortcut(m_saveEntryAsAction, QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    setStandardShortcut(m_printAction, QKeySequence::Print, QKeySequence(Qt::CTRL | Qt::Key_P));
    setStandardShortcut(m_quitAction, QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_guideAction->setShortcut(QKeySequence(Qt::Key_F1));
    // Undo and redo get the keys of Windows and of Linux both, whatever the platform binds.
    m_undoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    m_redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
}

void MainWindow::giveSaveKeyToView() {
    const bool members = m_viewMode != ViewMode::Couples;
    (members ? m_saveEntryAction : m_saveMembersAction)->setShortcuts({});
    setStandardShortcut(members ? m_saveMembersAction : m_saveEntryAction, QKeySequence::Save,
                        QKeySequence(Qt::CTRL | Qt::Key_S));
}
