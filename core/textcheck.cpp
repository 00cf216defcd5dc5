#include "textcheck.h"

#include "cp932.h"

#include <QStringList>

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
    QStringList codes;
    for (const char32_t ucs : character.toUcs4())
        codes << QStringLiteral("U+%1").arg(
            QString::number(uint(ucs), 16).toUpper().rightJustified(4, QLatin1Char('0')));
    return QStringLiteral("「%1」に保存できない文字「%2」(%3) が含まれています。\nこの文字を使わずに入力してください。")
        .arg(label, character, codes.join(QLatin1Char(' ')));
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
