#include "textcheck.h"

#include "cp932.h"

QString lines_for_display(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

QString lines_for_file(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return result;
}

QString unstorable_text_message(const QString& label, const QString& character) {
    return QStringLiteral("「%1」に保存できない文字%2 が含まれています。\nこの文字を使わずに入力してください。")
        .arg(label, cp932::describe(character));
}

qsizetype first_unstorable_field(const QList<LabelledText>& fields, Prompter& prompter) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString bad = cp932::firstUnencodable(fields[i].text);
        if (!bad.isEmpty()) {
            prompter.showMessage(unstorable_text_message(fields[i].label, bad), Prompter::Icon::Exclamation);
            return i;
        }
    }
    return -1;
}

qsizetype first_control_character(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].category() == QChar::Other_Control)
            return i;
    }
    return -1;
}

QString control_character_text(QChar character) {
    if (character == u'\r' || character == u'\n')
        return QStringLiteral("改行");
    if (character == u'\t')
        return QStringLiteral("タブ");
    return QStringLiteral("制御文字 (U+%1)")
        .arg(QString::number(character.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
}

QString control_character_message(const QString& label, QChar character) {
    return QStringLiteral("「%1」に%2が含まれています。\n改行やタブを使わずに、一行で入力してください。")
        .arg(label, control_character_text(character));
}

qsizetype first_field_with_control_character(const QList<LabelledText>& fields, Prompter& prompter) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const qsizetype at = first_control_character(fields[i].text);
        if (at >= 0) {
            prompter.showMessage(control_character_message(fields[i].label, fields[i].text[at]),
                                 Prompter::Icon::Exclamation);
            return i;
        }
    }
    return -1;
}
