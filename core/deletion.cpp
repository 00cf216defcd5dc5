#include "deletion.h"

#include "backnumber.h"
#include "toggling.h"
#include "vocabulary.h"

#include <algorithm>

namespace {

qsizetype validCoupleCount(const AppState& state) {
    return std::min<qsizetype>(std::max(state.coupleCount, 0), state.couples.size());
}

QString cell(const CoupleGridRows& rows, qsizetype row, qsizetype column) {
    if (row < 0 || row >= rows.size() || column < 0 || column >= rows[row].size())
        return {};
    return rows[row][column];
}

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
    const qsizetype partners = std::min<qsizetype>(std::max(couple.partnerCount, 0), couple.partnerDances.size());
    for (qint32 d = 0; d < kDanceCount; ++d) {
        const QString code = dance_code(d);
        for (qsizetype k = 0; k < partners; ++k) {
            if (couple.partnerDances[k].contains(code, Qt::CaseInsensitive)) {
                couple.danceFlags[d] = 0;
                break;
            }
        }
    }
}

void remove_partner(AppState& state, qint32 couple, qint32 partner) {
    if (couple < 0 || couple >= validCoupleCount(state))
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

void delete_couples(AppState& state, const CoupleGridRows& rows, GridCursor& cursor, qint32& currentCouple,
                    qint32& currentPartner, Prompter& prompter) {
    const int current = cursor.row;
    const int other = cursor.otherRow;
    int first = current;
    int last = current;

    if (other == current) {
        // The couple is read from the selected row itself: the remembered current couple may be stale after
        // an earlier deletion or a move of the current row without a click.
        qint32 rowCouple = 0;
        qint32 rowPartner = 0;
        if (row_position(cell(rows, current, kGridColCouple), cell(rows, current, kGridColPartnerPos), rowCouple,
                         rowPartner) != 1)
            return; // the title row: nothing to delete
        if (rowCouple < 0 || rowCouple >= validCoupleCount(state))
            return;
        const CoupleRecord& couple = state.couples[rowCouple];
        qint16 number = 0;
        const bool onFirstRowStart = (cursor.column == kGridColBackNumber || cursor.column == kGridColLeader) &&
                                     get_back_number(cell(rows, current, kGridColBackNumber), number);
        if (couple.partnerCount <= 1 || onFirstRowStart) {
            const QString question =
                QString::number(couple.backNumber) + QStringLiteral(" 番を消去します。よろしいですか？");
            if (!prompter.askYesNo(question, Prompter::Icon::Information))
                return;
        } else {
            currentCouple = rowCouple;
            currentPartner = rowPartner;
            if (rowPartner < 0 || rowPartner >= couple.partnerCount || rowPartner >= couple.partners.size())
                return;
            const QString question = QString::number(couple.backNumber) + QStringLiteral(" 番の ") +
                                     couple.partners[rowPartner].name +
                                     QStringLiteral(" を消去します。よろしいですか？");
            if (prompter.askYesNo(question, Prompter::Icon::Information)) {
                remove_partner(state, rowCouple, rowPartner);
                cursor.row = 0;
                cursor.otherRow = 0;
                state.entryChanged = 1;
            }
            return;
        }
    } else {
        if (!prompter.askYesNo(QStringLiteral("選択されているカップル消去します。よろしいですか？"),
                               Prompter::Icon::Information))
            return;
        first = std::min(current, other);
        last = std::max(current, other);
    }

    const qsizetype count = validCoupleCount(state);
    first = std::max(first, 0);
    last = int(std::min<qsizetype>(last, rows.size() - 1));
    for (int i = first; i <= last; ++i) {
        if (row_position(cell(rows, i, kGridColCouple), cell(rows, i, kGridColPartnerPos), currentCouple,
                         currentPartner) == 1 &&
            currentCouple >= 0 && currentCouple < count)
            state.couples[currentCouple].deleteMark = 1;
    }
    closeUp(state);
    state.entryChanged = 1;
}
