#include "entrycheck.h"

#include "vocabulary.h"

#include <algorithm>

namespace {

const QString kNoDance = QStringLiteral("出場種目が1種目以上必要です。");
const QString kSharedDance = QStringLiteral("パートナーで種目が重なっています。");

// The dance code string of partner `j`; a list shorter than the count (only a damaged file holds one)
// reads as empty.
QString dancesOf(const CoupleRecord& couple, qint32 j) {
    return j < couple.partnerDances.size() ? couple.partnerDances[j] : QString();
}

// The rules one couple breaks, each once, in the order the checks meet them: a single partner is judged by
// the couple's dance flags alone; otherwise partner 0's empty test, then its overlaps with every other
// partner, then partner 1's empty test, and so on.
QStringList brokenRules(const CoupleRecord& couple) {
    QStringList rules;
    auto add = [&rules](const QString& rule) {
        if (!rules.contains(rule))
            rules.append(rule);
    };
    if (couple.partnerCount < 2) {
        qint32 danced = 0;
        for (qsizetype d = 0; d < kDanceCount && d < couple.danceFlags.size(); ++d)
            danced += couple.danceFlags[d] == 0 ? 1 : 0;
        if (danced == 0)
            add(kNoDance);
        return rules;
    }
    for (qint32 j = 0; j < couple.partnerCount; ++j) {
        const QString codes = dancesOf(couple, j);
        if (codes.isEmpty())
            add(kNoDance);
        for (QChar code : codes) {
            for (qint32 l = 0; l < couple.partnerCount; ++l) {
                if (l != j && dancesOf(couple, l).contains(code, Qt::CaseInsensitive))
                    add(kSharedDance);
            }
        }
    }
    return rules;
}

} // namespace

QList<EntryProblem> entry_problems(const AppState& state) {
    QList<EntryProblem> problems;
    const std::span<const CoupleRecord> couples = state.entryCouples();
    for (size_t i = 0; i < couples.size(); ++i) {
        for (const QString& rule : brokenRules(couples[i]))
            problems.append(EntryProblem{qint32(i), couples[i].backNumber, rule});
    }
    return problems;
}

bool check_entry(const AppState& state, Prompter& prompter, qint32* failedCouple) {
    const QList<EntryProblem> problems = entry_problems(state);
    if (problems.isEmpty())
        return true;
    const EntryProblem& first = problems.first();
    if (failedCouple)
        *failedCouple = first.couplePosition;
    prompter.showMessage(QStringLiteral("背番号") + QString::number(first.backNumber) + QLatin1Char('\r') + first.rule,
                         Prompter::Icon::Information);
    return false;
}
