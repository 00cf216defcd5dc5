#include "vocabulary.h"

#include <array>

namespace {
const std::array<const char*, kDanceCount> kDanceNames = {"Walts",  "Tango", "Fox",   "Quick",
                                                          "ChaCha", "Samba", "Rumba", "Paso"};
}

QString dance_name(qint32 index) {
    if (index < 0 || index >= kDanceCount)
        return {};
    return QString::fromLatin1(kDanceNames[size_t(index)]);
}

QString dance_name_japanese(qint32 index) {
    static const std::array<const char16_t*, kDanceCount> names = {
        u"ワルツ", u"タンゴ",    u"スローフォックストロット", u"クイックステップ", u"チャチャチャ", u"サンバ",
        u"ルンバ", u"パソドブレ"};
    if (index < 0 || index >= kDanceCount)
        return {};
    return QString::fromUtf16(names[size_t(index)]);
}

QString section_meaning(quint8 section) {
    switch (section) {
    case 0:
        return QStringLiteral("モダン（スタンダード）");
    case 1:
        return QStringLiteral("ラテン");
    default:
        return QStringLiteral("ルーキー（新人）");
    }
}

QString role_text(const MemberRecord& member) {
    return member.role != 0 ? QStringLiteral("partner") : QStringLiteral("leader");
}

QString role_meaning(quint8 role) {
    return role != 0 ? QStringLiteral("パートナー（リーダーと組んで踊る人）")
                     : QStringLiteral("リーダー（カップルをリードして踊る人）");
}

qint32 dance_index(QChar code) {
    for (qint32 i = 0; i < kDanceCount; ++i) {
        if (QLatin1Char(kDanceNames[size_t(i)][0]) == code)
            return i;
    }
    return -1;
}

QString dance_code(qint32 index) {
    if (index < 0 || index >= kDanceCount)
        return {};
    return QString(QLatin1Char(kDanceNames[size_t(index)][0]));
}

qint32 parse_dance_codes(const QString& codes, QList<quint8>& indexes) {
    if (codes.isEmpty())
        return 0;
    QList<quint8> result;
    result.reserve(codes.size());
    for (QChar c : codes) {
        const qint32 index = dance_index(c);
        if (index >= 0)
            result.append(quint8(index));
    }
    indexes = std::move(result);
    return qint32(indexes.size());
}

QString section_text(quint8 section) {
    switch (section) {
    case 0:
        return QStringLiteral("Modan");
    case 1:
        return QStringLiteral("Latin");
    default:
        return QStringLiteral("Rookie");
    }
}

QString regular_text(quint8 regular) {
    return regular == 1 ? kRegularMark : QString();
}
