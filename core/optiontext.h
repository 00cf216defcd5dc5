#pragma once

#include <QString>
#include <QStringList>

// How the two command lines name an option in their messages: as the user typed it.

// The option `name` as it stands among `arguments` ("-o", "-output", "--output"; a value after "=" left out),
// looked for up to "--"; when it is not there, its usual form ("-o" for one letter, "--output" otherwise).
QString typed_option(const QStringList& arguments, const QString& name);

// "不明なオプション -x です。" with the option as typed.
QString unknown_option_message(const QStringList& arguments, const QString& name);
