#include "couplegrid.h"

#include "vocabulary.h"

#include <QDir>

#include <algorithm>
#include <utility>
#include <vector>

QStringList couple_grid_titles() {
    QStringList titles;
    titles << QStringLiteral("背番号") << QStringLiteral("Leader") << QStringLiteral("Partner");
    for (qint32 d = 0; d < kDanceCount; ++d)
        titles << dance_code(d);
    titles << QStringLiteral("Reguler") << QStringLiteral("MorL");
    return titles;
}

QStringList couple_grid_title_tips() {
    QStringList tips;
    tips << QStringLiteral("背番号") << role_meaning(0) << role_meaning(1);
    for (qint32 d = 0; d < kDanceCount; ++d)
        tips << QStringLiteral("%1（○: この種目に出る）").arg(dance_name_japanese(d));
    tips << QStringLiteral("レギュラー（◎: レギュラーのカップル。クリックで付け外し）")
         << QStringLiteral("クラス: Modan = %1、Latin = %2、Rookie = %3（クリックで切り替え）")
                .arg(section_meaning(0), section_meaning(1), section_meaning(2));
    return tips;
}

CoupleGridRows build_couple_grid_rows(const AppState& state) {
    CoupleGridRows rows;
    rows.append(CoupleGridRow{couple_grid_titles()});

    const std::span<const CoupleRecord> couples = state.entryCouples();
    const qint32 count = qint32(couples.size());
    if (count <= 0)
        return rows;

    QList<qint32> keys(count);
    for (qint32 i = 0; i < count; ++i)
        keys[i] = couples[size_t(i)].backNumber;
    QList<qint32> positions;
    sort_positions(keys, positions, count);

    for (qint32 k = 0; k < count; ++k) {
        const qint32 position = positions[k];
        const CoupleRecord& couple = couples[size_t(position)];
        if (couple.deleteMark == 1)
            continue;
        // A couple whose lists are shorter than its count (only a damaged file holds one) shows the
        // partners it really has.
        const qsizetype partnerRows = qsizetype(valid_part(couple.partners, couple.partnerCount).size());
        for (qsizetype j = 0; j < partnerRows; ++j) {
            QStringList row(kGridColumnCount);
            if (j == 0) {
                row[kGridColBackNumber] = QString::number(couple.backNumber);
                row[kGridColLeader] = couple.leader.name;
            }
            row[kGridColPartner] = couple.partners[j].name;
            if (j < couple.partnerDances.size()) {
                QList<quint8> indexes;
                const qint32 n = parse_dance_codes(couple.partnerDances[j], indexes);
                for (qint32 x = 0; x < n && x < indexes.size(); ++x)
                    row[kGridColFirstDance + indexes[x]] = kDanceMark;
            }
            row[kGridColRegular] = regular_text(couple.regular);
            row[kGridColSection] = section_text(couple.section);
            rows.append(CoupleGridRow{row, position, qint32(j)});
        }
    }
    return rows;
}

void sort_positions(QList<qint32>& keys, QList<qint32>& positions, qint32 count) {
    if (count <= 0)
        return;
    count = qint32(std::min<qsizetype>(count, keys.size()));
    positions.resize(count);
    for (qint32 i = 0; i < count; ++i)
        positions[i] = i;
    // Distinct keys have exactly one ascending order, which any sort reaches, while the first-element
    // quicksort takes quadratic time on what it meets most: back numbers already in order. Only equal
    // keys are left in the order the quicksort's exchanges give them, so only then does it run.
    std::vector<std::pair<qint32, qint32>> pairs;
    pairs.reserve(size_t(count));
    for (qint32 i = 0; i < count; ++i)
        pairs.emplace_back(keys[i], i);
    std::sort(pairs.begin(), pairs.end());
    const auto sameKey = [](const auto& a, const auto& b) { return a.first == b.first; };
    if (std::adjacent_find(pairs.begin(), pairs.end(), sameKey) != pairs.end()) {
        quick_sort(keys, positions, 0, count - 1);
        return;
    }
    for (qint32 i = 0; i < count; ++i) {
        keys[i] = pairs[size_t(i)].first;
        positions[i] = pairs[size_t(i)].second;
    }
}

void quick_sort(QList<qint32>& keys, QList<qint32>& positions, qint32 low, qint32 high) {
    const qsizetype size = std::min(keys.size(), positions.size());
    if (size == 0)
        return;
    low = std::max(low, 0);
    high = qint32(std::min<qsizetype>(high, size - 1));
    qint32* key = keys.data();
    qint32* pos = positions.data();

    // Each pass partitions [low, high] exactly as the classic recursive form does, then sorts the smaller
    // part by recursion and continues with the larger one in this loop: the parts are disjoint, so the
    // order of processing does not change the result, and the recursion depth stays below log2(n).
    while (low < high) {
        const qint32 pivot = key[low];
        qint32 i = low;
        qint32 j = high + 1;
        for (;;) {
            // Once i has left the range it can only grow, and i >= j ends the partition either way, so
            // the scan stops at high + 1 and never reads past the list.
            do {
                ++i;
            } while (i <= high && key[i] < pivot);
            // key[low] is the pivot, so this scan stops at low at the latest.
            do {
                --j;
            } while (key[j] > pivot);
            if (i < j) {
                std::swap(key[i], key[j]);
                std::swap(pos[i], pos[j]);
            } else {
                break;
            }
        }
        key[low] = key[j];
        key[j] = pivot;
        std::swap(pos[low], pos[j]);

        if (j - low < high - j) {
            quick_sort(keys, positions, low, j - 1);
            low = j + 1;
        } else {
            quick_sort(keys, positions, j + 1, high);
            high = j - 1;
        }
    }
}

QString split_field(const QString& text, const QString& separator, qint32 n, bool fromEnd) {
    if (text.isEmpty() || n < 1)
        return {};
    if (separator.isEmpty())
        return n == 1 ? text : QString();
    const QStringList fields = text.split(separator, Qt::KeepEmptyParts, Qt::CaseSensitive);
    if (n > fields.size())
        return {};
    return fromEnd ? fields[fields.size() - n] : fields[n - 1];
}

QString entry_caption(const AppState& state) {
    return QStringLiteral("カップル数 : ") + QString::number(state.coupleCount) + QStringLiteral("   ファイル名 : ") +
           split_field(state.entryFileName, QString(QDir::separator()), 1, true);
}
