#include "cp932.h"
#include "datafolder.h"
#include "desktoplauncher.h"
#include "folderlock.h"
#include "japanesefont.h"
#include "mainwindow.h"
#include "optiontext.h"
#include "printrenderer.h"
#include "qtprompter.h"
#include "qttranslation.h"
#include "records.h"
#include "savefile.h"
#include "startup.h"
#include "usersettings.h"
#include "version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QMessageBox>

#include <cstdio>
#include <optional>

namespace {
// The one state of the program, alive from start to end.
AppState appState;

// The status of a wrong command line, as the BSD convention has it (EX_USAGE).
constexpr int kExitUsage = 64;
// The data folder cannot be made, or the data files cannot be converted.
constexpr int kExitFailure = 1;

const QString kProgram = QStringLiteral("danceentry");

struct CommandLine {
    bool help = false;
    bool version = false;
    std::optional<QString> folder; // --folder DIR
    QString error;                 // why the line is wrong; empty when it is right
};

void print(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QString usageText(const QString& userFolder) {
    return QStringLiteral("使い方: %1 [--folder フォルダ]\n"
                          "        %1 --help\n"
                          "        %1 --version\n"
                          "\n"
                          "大学の競技ダンス部の部員名簿を管理し、学生競技会に出すエントリー\n"
                          "（カップル、背番号、出場種目）を作るプログラムです。\n"
                          "\n"
                          "オプション:\n"
                          "  --folder フォルダ  部のファイルをこのフォルダに置きます（なければ作ります）。\n"
                          "  -h, --help         この説明を表示して終わります。\n"
                          "  --version          バージョンを表示して終わります。\n"
                          "\n"
                          "データフォルダは次の順に決まります:\n"
                          "  1. --folder で指定したフォルダ\n"
                          "  2. プログラムのあるフォルダに member.dat、uniinf.dat、Gamename.txt の\n"
                          "     どれかがあれば、そのフォルダ\n"
                          "  3. それ以外は、ユーザーごとのデータフォルダ（初めての起動で作ります）:\n"
                          "     %2\n"
                          "\n"
                          "終了コード: 0 正常、1 データフォルダを作れない、64 コマンドラインの誤り\n")
        .arg(kProgram,
             userFolder.isEmpty()
                 ? QStringLiteral("（環境変数 HOME が設定されていないため決まりません。--folder で指定してください）")
                 : QDir::toNativeSeparators(userFolder));
}

CommandLine readCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // "-folder DIR" is read as "--folder DIR" (and "-help", "-version" as theirs), never as the letters
    // "-f -o -l ...": the program has no one-letter options besides -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption folder(QStringLiteral("folder"), QString(), QStringLiteral("DIR"));
    parser.addOptions({help, version, folder});

    CommandLine line;
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            line.error = unknown_option_message(arguments.mid(1), unknown.first());
        } else {
            line.error = QStringLiteral("オプション %1 の後にフォルダを指定してください。")
                             .arg(typed_option(arguments.mid(1), QStringLiteral("folder")));
        }
        return line;
    }
    if (!parser.positionalArguments().isEmpty()) {
        line.error = QStringLiteral("余分な引数「%1」があります。フォルダは --folder の後に指定してください。")
                         .arg(parser.positionalArguments().constFirst());
        return line;
    }
    const QStringList folders = parser.values(folder);
    if (folders.size() > 1) {
        line.error = QStringLiteral("--folder は一度だけ指定してください。");
        return line;
    }
    line.help = parser.isSet(help);
    line.version = parser.isSet(version);
    if (!folders.isEmpty())
        line.folder = folders.constFirst();
    return line;
}

} // namespace

int main(int argc, char* argv[]) {
    ignore_file_size_signal();
    // The command line is read before any window system is touched, so that --help, --version and a wrong
    // line work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QString userFolder = user_data_folder();
    CommandLine line = readCommandLine(arguments);
    // A folder named in other bytes than UTF-8 would come out with replacement characters: another folder.
    if (const QString name = unusable_argument(argc, argv); !name.isEmpty() && line.error.isEmpty())
        line.error = QStringLiteral("「%1」は名前の文字コードが UTF-8 ではないため、使えません。"
                                    "フォルダの名前を付け直してから指定してください。")
                         .arg(name);
    if (!line.error.isEmpty()) {
        print(stderr, QStringLiteral("%1: %2\n\n").arg(kProgram, line.error) + usageText(userFolder));
        return kExitUsage;
    }
    if (line.help) {
        print(stdout, usageText(userFolder));
        return 0;
    }
    if (line.version) {
        print(stdout, QStringLiteral("DanceEntry %1\n").arg(QLatin1String(DANCEENTRY_VERSION)));
        return 0;
    }

    // Qt sees none of the arguments: every option is the program's own and was read above.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(DANCEENTRY_VERSION));
    // The desktop connects the windows to the installed menu entry and shows its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(DANCEENTRY_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(DANCEENTRY_APP_ID)));
    install_qt_translation();
    install_japanese_font_substitutions();
    // Where fontconfig offers no Japanese font, the installed package's font by its file; printing says so
    // when there is none at all.
    ensure_japanese_font();
    // The window's size and place, the member list's columns and the file dialogs' last folder are kept here.
    const QString settingsProblem = usersettings::use_file(usersettings::default_file());
    // The closing messages of the exports start the desktop's mail program and file manager.
    desktop::use_launcher(&desktop::system_launcher());

    if (!cp932::available()) {
        QMessageBox::critical(nullptr, QtPrompter::applicationTitle(),
                              QStringLiteral("文字コード Shift-JIS (コードページ 932) の変換が使えないため、"
                                             "データファイルを読み書きできません。\n"
                                             "ICU に対応した Qt 6 をインストールしてください。"));
        return kExitFailure;
    }

    QtPrompter prompter;
    // Started from the desktop's menu, nobody reads standard error: a box says it, once, before the window.
    if (!settingsProblem.isEmpty())
        prompter.showMessage(settingsProblem, Prompter::Icon::Information);
    const DataFolder folder = decide_data_folder(line.folder, application_folder(), userFolder);
    if (folder.path.isEmpty()) {
        print(stderr, QStringLiteral("%1: %2\n").arg(kProgram, folder.error));
        // Started from the desktop's menu, nobody reads standard error: the window says it as well.
        if (folder.source != DataFolderSource::CommandLine)
            prompter.showMessage(folder.error, Prompter::Icon::Stop);
        return kExitFailure;
    }

    FolderLock lock; // held until the program ends
    std::unique_ptr<MainWindow> window = start_up(appState, prompter, folder.path, lock);
    if (!window)
        return 0;
    QObject::connect(window.get(), &MainWindow::programEnded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    return app.exec();
}
