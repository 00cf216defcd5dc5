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
