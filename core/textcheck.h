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
