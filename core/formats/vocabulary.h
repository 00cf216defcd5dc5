#pragma once

#include "records.h"

#include <QList>
#include <QString>

// The eight dances, in their fixed order; a dance's index is its position here and its code is the first
// letter of its name.
inline constexpr int kDanceCount = 8;
QString dance_name(qint32 index);
// The dance's name as Japanese dancers say it (ワルツ for "Walts"), or the empty text outside 0..7.
QString dance_name_japanese(qint32 index);
// What a section means to a Japanese reader (モダン（スタンダード） for "Modan"), as section_text reads it.
QString section_meaning(quint8 section);

// "leader" for role 0, "partner" for any other role.
QString role_text(const MemberRecord& member);
// What the role means to a Japanese reader: リーダー（…） for role 0, パートナー（…） for any other role.
QString role_meaning(quint8 role);

// The index of the dance whose code is `code` (case-sensitive), or -1.
qint32 dance_index(QChar code);

// The one-letter code of dance `index`, or the empty text outside 0..7.
QString dance_code(qint32 index);

// The dance indexes named by a dance code string, in the order of its characters; `indexes` is replaced.
// A character that is no dance code (only a damaged file holds one) is skipped, so no -1 is ever stored.
qint32 parse_dance_codes(const QString& codes, QList<quint8>& indexes);

// "Modan" for 0, "Latin" for 1, "Rookie" for anything else.
QString section_text(quint8 section);
// The "Reguler" cell: the mark when regular is 1, else empty.
QString regular_text(quint8 regular);

inline const QString kDanceMark = QStringLiteral("○");   // U+25CB
inline const QString kRegularMark = QStringLiteral("◎"); // U+25CE
