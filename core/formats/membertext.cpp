#include "membertext.h"

#include "cp932.h"
#include "savefile.h"

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
    QByteArray text;
    for (const qint32 position : valid_part(order, state.memberCount)) {
        if (!state.isMember(position))
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
            *error = save_failed_message(path, encodeError);
        return false;
    }
    return write_file_whole(path, bytes, error);
}
