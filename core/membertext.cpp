#include "membertext.h"

#include "cp932.h"
#include "savefile.h"

#include <QDir>

#include <algorithm>

namespace {

bool appendField(QByteArray& line, const QString& text, QString* error) {
    QByteArray bytes;
    if (!cp932::encode(text, &bytes, error))
        return false;
    line.append(bytes);
    return true;
}

} // namespace

QByteArray member_text_bytes(const AppState& state, const QList<qint32>& order, QString* error) {
    const qsizetype valid = std::min<qsizetype>(std::max(state.memberCount, 0), state.members.size());
    const qsizetype lines = std::min<qsizetype>(std::max(state.memberCount, 0), order.size());
    QByteArray text;
    for (qsizetype i = 0; i < lines; ++i) {
        const qint32 position = order[i];
        if (position < 0 || position >= valid)
            continue; // a row whose member is gone has nothing to write
        const MemberRecord& member = state.members[position];
        QByteArray line;
        if (!appendField(line, member.name, error))
            return {};
        line.append(',');
        if (!appendField(line, member.kana, error))
            return {};
        line.append(',');
        line.append(QByteArray::number(member.year));
        line.append(',');
        if (!appendField(line, member.department, error))
            return {};
        line.append(',');
        if (!appendField(line, member.highschool, error))
            return {};
        line.append("\r\n");
        text.append(line);
    }
    if (error)
        error->clear();
    return text;
}

bool write_member_text(const QString& path, const AppState& state, const QList<qint32>& order, QString* error) {
    QString encodeError;
    const QByteArray bytes = member_text_bytes(state, order, &encodeError);
    if (!encodeError.isEmpty()) {
        if (error)
            *error = QStringLiteral("ファイル「%1」を保存できませんでした。\n%2")
                         .arg(QDir::toNativeSeparators(path), encodeError);
        return false;
    }
    return write_file_whole(path, bytes, error);
}
