#include "optiontext.h"
#include "platform.h"
#include "savefile.h"
#include "tool.h"
#include "toolargs.h"
#include "tooltext.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Qt's own notes (such as a missing XDG_RUNTIME_DIR when the Gui part starts on a server) are English and say
// nothing about the files: the tool's messages are its own. Only what ends the program is still reported.
QtMessageHandler standardHandler = nullptr;

void quietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if ((type == QtCriticalMsg || type == QtFatalMsg) && standardHandler)
        standardHandler(type, context, message);
}

} // namespace

// danceentry-tool: shows, checks and converts the program's data files from the command line.
int main(int argc, char* argv[]) {
    ignore_file_size_signal();
    // Asked first: the application may open files of its own, which would take a closed descriptor's number.
    const bool outputClosed = platform::standard_output_closed();
    // Pages are laid out with fonts, which need Qt Gui; the offscreen platform gives it without a display, so
    // the pdf command runs on a server or over ssh alike. The other commands stay with Qt Core.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && std::strcmp(argv[1], "pdf") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        standardHandler = qInstallMessageHandler(quietQtMessages);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QFile out;
    QFile err;
    if (!err.open(stderr, QIODevice::WriteOnly))
        return kExitFailure;
    if (const QString name = unusable_argument(argc, argv); !name.isEmpty()) {
        write_text(err, QStringLiteral("danceentry-tool: 「%1」は名前の文字コードが UTF-8 ではないため、読めません。\n"
                                       "ファイルの名前を付け直してから指定してください。\n")
                            .arg(name));
        err.flush();
        return kExitFailure;
    }
    int status = kExitFailure;
    if (!outputClosed && out.open(stdout, QIODevice::WriteOnly))
        status = run_tool(QCoreApplication::arguments().mid(1), out, err);
    // Output that did not reach its place (a full disk, a closed or broken standard output) is a failure, never
    // a table that silently ends early.
    errno = 0;
    if (!out.isOpen() || !out.flush() || out.error() != QFileDevice::NoError) {
        const int errorNumber = errno != 0 ? errno : EIO;
        const QString reason =
            outputClosed ? QStringLiteral("標準出力が閉じられています。") : file_error_reason(errorNumber);
        write_text(err, QStringLiteral("danceentry-tool: 標準出力に書き込めませんでした。\n%1\n").arg(reason));
        status = kExitFailure;
    }
    err.flush();
    return status;
}
