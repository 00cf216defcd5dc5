#include "deletion.h"

#include "backnumber.h"
#include "vocabulary.h"

#include <algorithm>

namespace {

// Keeps the couples without a mark; a list with none left becomes one empty record and a count of 0.
void closeUp(AppState& state) {
    QList<CoupleRecord> kept;
    const qint32 count = remove_marked_couples(state.couples, state.coupleCount, kept);
    if (count > 0) {
        state.couples = std::move(kept);
        state.coupleCount = count;
    } else {
        state.couples = {CoupleRecord{}};
        state.coupleCount = 0;
    }
}

} // namespace

void recompute_dance_flags(CoupleRecord& couple) {
    couple.danceFlags = QList<qint32>(kDanceCount, -1);
    const std::span<const QString> dances = valid_part(couple.partnerDances, couple.partnerCount);
    for (qint32 d = 0; d < kDanceCount; ++d) {
        const QString code = dance_code(d);
        const bool danced = std::any_of(dances.begin(), dances.end(),
                                        [&](const QString& s) { return s.contains(code, Qt::CaseInsensitive); });
        if (danced)
            couple.danceFlags[d] = 0;
    }
}

void remove_partner(AppState& state, qint32 couple, qint32 partner) {
    if (!state.isCouple(couple))
        return;
    CoupleRecord& c = state.couples[couple];
    // The last partner of a couple is never removed: a couple without partners has no row in the grid.
    if (c.partnerCount < 2 || partner < 0 || partner >= c.partnerCount || partner >= c.partners.size() ||
        partner >= c.partnerDances.size())
        return;
    c.partners.removeAt(partner);
    c.partnerDances.removeAt(partner);
    c.partnerCount -= 1;
    if (c.partners.size() > c.partnerCount)
        c.partners.resize(c.partnerCount);
    if (c.partnerDances.size() > c.partnerCount)
        c.partnerDances.resize(c.partnerCount);
    recompute_dance_flags(c);
}

bool delete_couples(AppState& state, const CoupleGridRows rows, GridCursor& cursor, qint32& currentCouple,
                    qint32& currentPartner, Prompter& prompter) {
    const int current = cursor.row;
    const int other = cursor.otherRow;
    int first = current;
    int last = current;

    if (other == current) {
        // The couple is read from the selected row itself: the remembered current couple may be stale after
        // an earlier deletion or a move of the current row without a click.
        const CoupleGridRow row = rows.value(current);
        if (!row.isCoupleRow() || !state.isCouple(row.couple))
            return false; // the title row, or a row left from before a change: nothing to delete
        const CoupleRecord& couple = state.couples[row.couple];
        qint16 number = 0;
        const bool onFirstRowStart = (cursor.column == kGridColBackNumber || cursor.column == kGridColLeader) &&
                                     get_back_number(row.text(kGridColBackNumber), number);
        if (couple.partnerCount <= 1 || onFirstRowStart) {
            const QString question =
                QString::number(couple.backNumber) + QStringLiteral(" 番を消去します。よろしいですか？");
            if (!prompter.askYesNo(question, Prompter::Icon::Information))
                return false;
        } else {
            currentCouple = row.couple;
            currentPartner = row.partner;
            if (row.partner < 0 || row.partner >= couple.partnerCount || row.partner >= couple.partners.size())
                return false;
            const QString question = QString::number(couple.backNumber) + QStringLiteral(" 番の ") +
                                     couple.partners[row.partner].name +
                                     QStringLiteral(" を消去します。よろしいですか？");
            if (!prompter.askYesNo(question, Prompter::Icon::Information))
                return false;
            remove_partner(state, row.couple, row.partner);
            cursor.row = 0;
            cursor.otherRow = 0;
            state.markCouplesChanged(QStringLiteral("パートナー削除"));
            return true;
        }
    } else {
        if (!prompter.askYesNo(QStringLiteral("選択されているカップル消去します。よろしいですか？"),
                               Prompter::Icon::Information))
            return false;
        first = std::min(current, other);
        last = std::max(current, other);
    }

    first = std::max(first, 0);
    last = int(std::min<qsizetype>(last, rows.size() - 1));
    for (int i = first; i <= last; ++i) {
        if (!rows[i].isCoupleRow())
            continue;
        currentCouple = rows[i].couple;
        currentPartner = rows[i].partner;
        if (state.isCouple(currentCouple))
            state.couples[currentCouple].deleteMark = 1;
    }
    closeUp(state);
    state.markCouplesChanged(QStringLiteral("カップル削除"));
    return true;
}
