#include "recordbuilders.h"

#include "vocabulary.h"

namespace recordbuilders {

MemberRecord member(const QString& name, const QString& kana, quint8 year, quint8 role) {
    MemberRecord m;
    m.name = name;
    m.kana = kana;
    m.year = year;
    m.role = role;
    return m;
}

CoupleRecord couple(qint32 backNumber, const MemberRecord& leader, const QList<MemberRecord>& partners,
                    const QStringList& dances) {
    CoupleRecord c;
    c.backNumber = backNumber;
    c.leader = leader;
    c.partners = partners;
    c.partnerCount = qint32(partners.size());
    for (qsizetype i = 0; i < partners.size(); ++i)
        c.partnerDances << (i < dances.size() ? dances[i] : QString());
    c.danceFlags = QList<qint32>(8, -1);
    for (const QString& codes : c.partnerDances) {
        for (QChar code : codes) {
            const qint32 d = dance_index(code);
            if (d >= 0)
                c.danceFlags[d] = 0;
        }
    }
    c.yearSum = leader.year + (partners.isEmpty() ? 0 : partners.first().year);
    return c;
}

} // namespace recordbuilders
