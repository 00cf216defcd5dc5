#include "toggling.h"

#include "vocabulary.h"

#include <algorithm>

namespace {

qsizetype validCoupleCount(const AppState& state) {
    return std::min<qsizetype>(std::max(state.coupleCount, 0), state.couples.size());
}

bool isCouple(const AppState& state, qint32 couple) {
    return couple >= 0 && couple < validCoupleCount(state);
}

QString cell(const CoupleGridRows& rows, qsizetype row, qsizetype column) {
    if (row < 0 || row >= rows.size() || column < 0 || column >= rows[row].size())
        return {};
    return rows[row][column];
}

} // namespace

qint32 row_position(const QString& coupleText, const QString& partnerText, qint32& currentCouple,
                    qint32& currentPartner) {
    bool isNumber = false;
    const qint32 couple = coupleText.toInt(&isNumber);
    if (!isNumber)
        return -1;
    currentCouple = couple;
    currentPartner = partnerText.toInt();
    return 1;
}

void toggle_dance(AppState& state, qint32 couple, qint32 partner, qint32 dance) {
    if (!isCouple(state, couple) || dance < 0 || dance >= kDanceCount)
        return;
    CoupleRecord& c = state.couples[couple];
    if (partner < 0 || partner >= c.partnerCount || partner >= c.partnerDances.size() || dance >= c.danceFlags.size())
        return;
    c.danceFlags[dance] = c.danceFlags[dance] != 0 ? 0 : -1;
    const QString code = dance_code(dance);
    QString& codes = c.partnerDances[partner];
    const qsizetype at = codes.indexOf(code, 0, Qt::CaseSensitive);
    if (at >= 0)
        codes.remove(at, 1);
    else
        codes.append(code);
}

void toggle_regular(AppState& state, qint32 couple) {
    if (!isCouple(state, couple))
        return;
    quint8& regular = state.couples[couple].regular;
    regular = regular == 0 ? 1 : 0;
}

void cycle_section(AppState& state, qint32 couple) {
    if (!isCouple(state, couple))
        return;
    quint8& section = state.couples[couple].section;
    section = section == 0 ? 1 : section == 1 ? 2 : 0;
}

quint8 couple_grid_click(AppState& state, const CoupleGridRows& rows, const GridCursor& cursor, qint32& currentCouple,
                         qint32& currentPartner, Prompter& prompter) {
    quint8 result = 0;
    const int row = cursor.row;
    const int column = cursor.column;
    const bool danceColumn = column >= kGridColFirstDance && column <= kGridColLastDance;

    if (row_position(cell(rows, row, kGridColCouple), cell(rows, row, kGridColPartnerPos), currentCouple,
                     currentPartner) == -1) {
        if (!danceColumn || row != 0)
            return result;
        const QString question = QStringLiteral("シングルのカップルのみ ") + cell(rows, 0, column) +
                                 QStringLiteral("　の出場種目表示を反転させます。よろしいですか？");
        if (!prompter.askYesNo(question, Prompter::Icon::Information))
            return result;
        currentPartner = 0;
        const qint32 remembered = currentCouple;
        // Every single-partner couple has exactly one row, so each one is switched exactly once.
        for (qsizetype i = 1; i < rows.size(); ++i) {
            bool isNumber = false;
            const qint32 couple = cell(rows, i, kGridColCouple).toInt(&isNumber);
            if (!isNumber || !isCouple(state, couple))
                continue;
            currentCouple = couple;
            if (state.couples[couple].partnerCount == 1)
                toggle_dance(state, couple, 0, column - kGridColFirstDance);
        }
        currentCouple = remembered;
        state.entryChanged = 1;
        return result;
    }

    // A stale grid row that no longer names a couple of the list changes nothing.
    const bool valid = isCouple(state, currentCouple);
    if (danceColumn) {
        if (valid) {
            toggle_dance(state, currentCouple, currentPartner, column - kGridColFirstDance);
            state.entryChanged = 1;
        }
    } else if (column == kGridColRegular) {
        if (valid) {
            toggle_regular(state, currentCouple);
            state.entryChanged = 1;
        }
    } else if (column == kGridColSection) {
        if (valid) {
            cycle_section(state, currentCouple);
            state.entryChanged = 1;
        }
    } else {
        result = 1;
    }
    return result;
}
