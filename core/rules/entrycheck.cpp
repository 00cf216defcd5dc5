#include "entrycheck.h"

#include "vocabulary.h"

#include <algorithm>
#include <bitset>
#include <map>
#include <tuple>

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

using DanceSet = std::bitset<kDanceCount>;

DanceSet dancesOfCodes(const QString& codes) {
    DanceSet set;
    for (QChar code : codes) {
        const qint32 dance = dance_index(code.toUpper());
        if (dance >= 0)
            set.set(size_t(dance));
    }
    return set;
}

DanceSet dancesOfFlags(const CoupleRecord& couple) {
    DanceSet set;
    for (qsizetype d = 0; d < kDanceCount && d < couple.danceFlags.size(); ++d)
        set.set(size_t(d), couple.danceFlags[d] == 0);
    return set;
}

// Who dances what in one couple: the leader first, with every dance of the couple, then each partner.
QList<std::pair<const MemberRecord*, DanceSet>> dancersOf(const CoupleRecord& couple) {
    const qint32 partners = std::clamp<qint32>(couple.partnerCount, 0, qint32(couple.partners.size()));
    QList<std::pair<const MemberRecord*, DanceSet>> dancers;
    DanceSet all;
    for (qint32 j = 0; j < partners; ++j) {
        DanceSet dances = dancesOfCodes(dancesOf(couple, j));
        if (partners == 1)
            dances |= dancesOfFlags(couple);
        dancers.append({&couple.partners[j], dances});
        all |= dances;
    }
    dancers.prepend({&couple.leader, all});
    return dancers;
}

// A section other than 0 and 1 reads as "Rookie", so all such couples dance in one class.
int sectionClass(quint8 section) {
    return std::min<int>(section, 2);
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

QList<EntryConflict> entry_conflicts(const AppState& state) {
    // member name, kana, class, regular mark, dance -> its entry in `groups`
    using Key = std::tuple<QString, QString, int, bool, int>;
    std::map<Key, qsizetype> groupOf;
    QList<EntryConflict> groups;
    const std::span<const CoupleRecord> couples = state.entryCouples();
    for (size_t i = 0; i < couples.size(); ++i) {
        const CoupleRecord& couple = couples[i];
        if (couple.deleteMark == 1)
            continue;
        for (const auto& [member, dances] : dancersOf(couple)) {
            if (member->name.isEmpty() && member->kana.isEmpty())
                continue;
            for (int d = 0; d < kDanceCount; ++d) {
                if (!dances.test(size_t(d)))
                    continue;
                const Key key{member->name, member->kana, sectionClass(couple.section), couple.regular == 1, d};
                const auto [at, added] = groupOf.try_emplace(key, groups.size());
                if (added)
                    groups.append(EntryConflict{member->name, member->kana, d, {}, {}});
                EntryConflict& group = groups[at->second];
                // A member who stands twice in one couple (only a damaged file holds one) counts it once.
                if (group.couplePositions.isEmpty() || group.couplePositions.last() != qint32(i)) {
                    group.couplePositions.append(qint32(i));
                    group.backNumbers.append(couple.backNumber);
                }
            }
        }
    }

    QList<EntryConflict> conflicts;
    for (EntryConflict& group : groups) {
        if (group.couplePositions.size() < 2)
            continue;
        QList<std::pair<qint32, qint32>> byNumber; // back number, position
        for (qsizetype k = 0; k < group.couplePositions.size(); ++k)
            byNumber.append({group.backNumbers[k], group.couplePositions[k]});
        std::stable_sort(byNumber.begin(), byNumber.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (qsizetype k = 0; k < byNumber.size(); ++k)
            std::tie(group.backNumbers[k], group.couplePositions[k]) = byNumber[k];
        conflicts.append(std::move(group));
    }
    std::stable_sort(conflicts.begin(), conflicts.end(), [](const EntryConflict& a, const EntryConflict& b) {
        return a.backNumbers.first() < b.backNumbers.first();
    });
    return conflicts;
}

namespace {

// The one line of a conflict with at most `shown` back numbers (the rest counted: "…ほか 9990 組").
QString conflictLine(const EntryConflict& conflict, qsizetype shown) {
    QStringList numbers;
    for (qsizetype k = 0; k < conflict.backNumbers.size() && k < shown; ++k)
        numbers << QString::number(conflict.backNumbers[k]);
    QString listed = numbers.join(QStringLiteral(", "));
    if (conflict.backNumbers.size() > shown)
        listed += QStringLiteral(" …ほか %1 組").arg(conflict.backNumbers.size() - shown);
    const QString who =
        conflict.kana.isEmpty() ? conflict.name : conflict.name + QStringLiteral("（%1）").arg(conflict.kana);
    return QStringLiteral("%1 %2 (%3): 背番号 %4")
        .arg(who, dance_name_japanese(conflict.dance), dance_code(conflict.dance), listed);
}

} // namespace

QString conflict_text(const EntryConflict& conflict) {
    return conflictLine(conflict, kConflictNumbersShown);
}

bool confirm_entry_conflicts(const AppState& state, Prompter& prompter, qint32* firstCouple) {
    const QList<EntryConflict> conflicts = entry_conflicts(state);
    if (conflicts.isEmpty())
        return true;
    // A long list is cut short (so many conflicts, so many back numbers a line) so that the question still fits
    // on the screen; every conflict with every back number is then in the question's details.
    constexpr qsizetype kShown = 15;
    QStringList lines;
    bool shortened = conflicts.size() > kShown;
    for (qsizetype k = 0; k < conflicts.size() && k < kShown; ++k) {
        lines << conflict_text(conflicts[k]);
        shortened = shortened || conflicts[k].backNumbers.size() > kConflictNumbersShown;
    }
    if (conflicts.size() > kShown)
        lines << QStringLiteral("ほか %1 件").arg(conflicts.size() - kShown);
    QString details;
    if (shortened) {
        QStringList all;
        for (const EntryConflict& conflict : conflicts)
            all << conflictLine(conflict, conflict.backNumbers.size());
        details = all.join(QLatin1Char('\n'));
        lines << QStringLiteral("（すべての背番号は、このメッセージの詳細にあります。）");
    }
    const QString question =
        QStringLiteral("同じメンバーが、同じクラス（MorL と Reguler が同じ）の同じ種目に、複数のカップルで"
                       "エントリーされています。主催者に受け付けられないことがあります。\n\n%1\n\n"
                       "このまま出力しますか？")
            .arg(lines.join(QLatin1Char('\n')));
    if (prompter.askYesNoWithDetails(question, details, Prompter::Icon::Exclamation))
        return true;
    if (firstCouple)
        *firstCouple = conflicts.first().couplePositions.first();
    return false;
}
