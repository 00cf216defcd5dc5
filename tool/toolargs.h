#pragma once

#include <QString>
#include <QStringList>

// The command line of danceentry-tool: a command, its options and the files it works on.
enum class ToolCommand { None, Show, Check, Csv, Pdf };
enum class CsvEncoding { Utf8WithBom, Cp932 };

struct ToolOptions {
    ToolCommand command = ToolCommand::None;
    bool help = false;  // print the help of `command` (of the whole tool for None) and stop
    QStringList files;  // as given, in order
    QString outputPath; // csv: empty or "-" for standard output; pdf: required, a file
    CsvEncoding encoding = CsvEncoding::Utf8WithBom;
    bool strict = false; // check only: warnings fail as problems do
};

// Exit statuses of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitProblems = 1; // check: an entry breaks a rule (or, with --strict, holds a warning)
inline constexpr int kExitFailure = 2;  // a file that cannot be read or written, or output that could not be written
inline constexpr int kExitUsage = 64;   // a wrong command line

// Reads `arguments` (without the program name). On a wrong command line returns false with the reason.
bool parse_tool_arguments(const QStringList& arguments, ToolOptions& options, QString* error);

// The help text of one command, or of the whole tool for ToolCommand::None.
QString tool_help(ToolCommand command);
