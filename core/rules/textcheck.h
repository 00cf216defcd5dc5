#pragma once

#include "prompter.h"

#include <QList>
#include <QString>

// Line breaks: the files store them as CR LF (and the program's messages break with CR, as the Windows
// program's did); the widgets edit and show them as LF.
QString lines_for_display(const QString& text); // CR LF and CR become LF
QString lines_for_file(const QString& text);    // LF becomes CR LF

// A text as the user typed it into a box, with the box's label.
struct LabelledText {
    QString label;
    QString text;
};

// The refusal for `label` holding `character`, which code page 932 cannot store (character and code points
// named, so that even an invisible character can be found).
QString unstorable_text_message(const QString& label, const QString& character);

// Checks the texts in order; at the first one that holds a character code page 932 cannot store, shows the
// refusal (exclamation icon) and returns its index. -1 when every text can be stored.
qsizetype first_unstorable_field(const QList<LabelledText>& fields, Prompter& prompter);

// The first control character of `text` (a line break, a tab, U+0000 to U+001F, U+007F to U+009F), or -1.
// The roster's texts are single lines: a line break or a tab inside a name would break every table and text
// export made from it.
qsizetype first_control_character(QStringView text);

// What that character is, for a message: "改行", "タブ" or "制御文字 (U+0007)".
QString control_character_text(QChar character);

// The refusal for `label` holding the control character `character`.
QString control_character_message(const QString& label, QChar character);

// Checks the texts in order; at the first one that holds a control character, shows the refusal (exclamation
// icon) and returns its index. -1 when no text holds one.
qsizetype first_field_with_control_character(const QList<LabelledText>& fields, Prompter& prompter);
