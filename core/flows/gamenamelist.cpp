#include "gamenamelist.h"

#include "backups.h"
#include "cp932.h"
#include "gamenames.h"
#include "savefile.h"
#include "textcheck.h"

#include <QDir>
#include <QLocale>

QString game_name_refusal(const QString& name, const QStringList& names, qsizetype replacing) {
    if (name.trimmed().isEmpty())
        return QStringLiteral("試合名を入力してください。");
    if (name.contains(u'"'))
        return QStringLiteral("試合名に「\"」は使えません。");
    if (const qsizetype at = first_control_character(name); at >= 0)
        return control_character_message(QStringLiteral("試合名"), name[at]);
    if (const QString character = cp932::firstUnencodable(name); !character.isEmpty())
        return unstorable_text_message(QStringLiteral("試合名"), character);
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i != replacing && names[i] == name)
            return QStringLiteral("試合名「%1」はすでに一覧にあります。").arg(name);
    }
    if (replacing < 0 && names.size() >= kMaxGameNames)
        return QStringLiteral("試合名は %1 までです。これ以上は追加できません。")
            .arg(QLocale(QLocale::English).toString(kMaxGameNames));
    return {};
}

bool save_game_names(const AppState& state, const QStringList& names, QString* keptCopy, Prompter& prompter) {
    const QString path = state.gameNamesPath();
    QString error;
    const QByteArray bytes = encode_game_names(names, &error);
    if (bytes.isEmpty()) {
        prompter.showMessage(save_failed_message(path, error), Prompter::Icon::Stop);
        return false;
    }
    QString kept;
    if (!keep_replaced_file(state, path, &kept, &error)) {
        prompter.showMessage(QStringLiteral("ファイル「%1」の控えを作れなかったため、保存しません。\n%2")
                                 .arg(QDir::toNativeSeparators(path), error),
                             Prompter::Icon::Stop);
        return false;
    }
    if (!write_file_whole(path, bytes, &error)) {
        prompter.showMessage(error, Prompter::Icon::Stop);
        return false;
    }
    if (keptCopy)
        *keptCopy = kept;
    return true;
}
