#pragma once

#include "records.h"

#include <QList>
#include <QString>
#include <QStringList>

// Records for tests and the fuzz seeds, built the way the editors build them. Qt Core only, so that the fuzz
// build (which has no Qt Test) shares them with the tests.
namespace recordbuilders {

MemberRecord member(const QString& name, const QString& kana, quint8 year, quint8 role);

// A couple with the given leader and partners; each partner's dance string is taken from `dances` (missing
// entries empty), the dance flags and the year sum follow from them.
CoupleRecord couple(qint32 backNumber, const MemberRecord& leader, const QList<MemberRecord>& partners,
                    const QStringList& dances = {});

} // namespace recordbuilders
