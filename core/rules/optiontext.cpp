#include "optiontext.h"

#include "cp932.h"

#include <QFile>

QString typed_option(const QStringList& arguments, const QString& name) {
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        const QString word = argument.section(QLatin1Char('='), 0, 0);
        if (word == QLatin1Char('-') + name || word == QStringLiteral("--") + name)
            return word;
    }
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QString unknown_option_message(const QStringList& arguments, const QString& name) {
    return QStringLiteral("不明なオプション %1 です。").arg(typed_option(arguments, name));
}

QString unusable_argument(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        if (QFile::encodeName(QFile::decodeName(raw)) == raw)
            continue;
        QString shown;
        return cp932::decode(raw, &shown) ? shown : QString::fromUtf8(raw);
    }
    return {};
}
