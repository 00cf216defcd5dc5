#pragma once

#include <QString>
#include <QStringList>

// How the two command lines name an option in their messages: as the user typed it.

// The option `name` as it stands among `arguments` ("-o", "-output", "--output"; a value after "=" left out),
// looked for up to "--"; when it is not there, its usual form ("-o" for one letter, "--output" otherwise).
QString typed_option(const QStringList& arguments, const QString& name);

// "不明なオプション -x です。" with the option as typed.
QString unknown_option_message(const QStringList& arguments, const QString& name);

// The first argument whose bytes are no UTF-8 (a name in Shift-JIS from a Windows archive), as it can be shown
// (read as code page 932 where that reads); empty when every argument is text. Such a name cannot be passed on
// as text without changing it: the program would then use another file or folder than the one named.
QString unusable_argument(int argc, char* argv[]);
