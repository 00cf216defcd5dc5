#include "cp932.h"
#include "folderlock.h"
#include "japanesefont.h"
#include "mainwindow.h"
#include "qtprompter.h"
#include "qttranslation.h"
#include "records.h"
#include "startup.h"

#include <QApplication>
#include <QMessageBox>

namespace {
// The one state of the program, alive from start to end.
AppState appState;
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    install_qt_translation();
    install_japanese_font_substitutions();

    if (!cp932::available()) {
        QMessageBox::critical(nullptr, QtPrompter::applicationTitle(),
                              QStringLiteral("文字コード Shift-JIS (コードページ 932) の変換が使えないため、"
                                             "データファイルを読み書きできません。\n"
                                             "ICU に対応した Qt 6 をインストールしてください。"));
        return 1;
    }

    QtPrompter prompter;
    FolderLock lock; // held until the program ends
    std::unique_ptr<MainWindow> window = start_up(appState, prompter, application_folder(), lock);
    if (!window)
        return 0;
    QObject::connect(window.get(), &MainWindow::programEnded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    return app.exec();
}
