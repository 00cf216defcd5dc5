#include "tool.h"

#include "checkcommand.h"
#include "csvcommand.h"
#include "pdfcommand.h"
#include "showcommand.h"
#include "toolargs.h"
#include "tooltext.h"
#include "version.h"

int run_tool(const QStringList& arguments, QIODevice& out, QIODevice& err) {
    if (arguments == QStringList{QStringLiteral("--version")}) {
        write_text(out, QStringLiteral("danceentry-tool %1\n").arg(QLatin1String(DANCEENTRY_VERSION)));
        return kExitOk;
    }
    ToolOptions options;
    QString error;
    if (!parse_tool_arguments(arguments, options, &error)) {
        write_text(err,
                   QStringLiteral("danceentry-tool: %1\n使い方は danceentry-tool --help で表示します。\n").arg(error));
        return kExitUsage;
    }
    if (options.help) {
        write_text(out, tool_help(options.command));
        return kExitOk;
    }
    switch (options.command) {
    case ToolCommand::Show:
        return run_show(options.files, out, err);
    case ToolCommand::Check:
        return run_check(options.files, options.strict, out, err);
    case ToolCommand::Csv:
        return run_csv(options, out, err);
    case ToolCommand::Pdf:
        return run_pdf(options, err);
    case ToolCommand::None:
        break;
    }
    return kExitFailure; // the parser never leaves a command unset without asking for help
}
