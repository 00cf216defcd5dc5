#include "entrycheck.h"

#include "vocabulary.h"

#include <algorithm>

namespace {

const QString kNoDance = QStringLiteral("出場種目が1種目以上必要です。");
const QString kSharedDance = QStringLiteral("パートナーで種目が重なっています。");

bool report(const CoupleRecord& couple, const QString& rule, Prompter& prompter) {
    prompter.showMessage(QStringLiteral("背番号") + QString::number(couple.backNumber) + QLatin1Char('\r') + rule,
                         Prompter::Icon::Information);
    return false;
}

// The dance code string of partner `j`; a list shorter than the count (only a damaged file holds one)
// reads as empty.
QString dancesOf(const CoupleRecord& couple, qint32 j) {
    return j < couple.partnerDances.size() ? couple.partnerDances[j] : QString();
}

} // namespace

bool check_entry(const AppState& state, Prompter& prompter) {
    const qsizetype count = std::min<qsizetype>(std::max(state.coupleCount, 0), state.couples.size());
    for (qsizetype i = 0; i < count; ++i) {
        const CoupleRecord& couple = state.couples[i];
        if (couple.partnerCount < 2) {
            // A single partner is judged by the couple's dance flags alone.
            qint32 danced = 0;
            for (qsizetype d = 0; d < kDanceCount && d < couple.danceFlags.size(); ++d)
                danced += couple.danceFlags[d] == 0 ? 1 : 0;
            if (danced == 0)
                return report(couple, kNoDance, prompter);
            continue;
        }
        for (qint32 j = 0; j < couple.partnerCount; ++j) {
            const QString codes = dancesOf(couple, j);
            if (codes.isEmpty())
                return report(couple, kNoDance, prompter);
            for (QChar code : codes) {
                for (qint32 l = 0; l < couple.partnerCount; ++l) {
                    if (l != j && dancesOf(couple, l).contains(code, Qt::CaseInsensitive))
                        return report(couple, kSharedDance, prompter);
                }
            }
        }
    }
    return true;
}
