#include "toggling.h"

#include "deletion.h"
#include "vocabulary.h"

namespace {

// Inverts `dance` of every couple with a single partner, each exactly once: such a couple has exactly one row.
void invertSingles(AppState& state, const CoupleGridRows& rows, qint32 dance) {
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const qint32 couple = rows[i].couple;
        if (state.isCouple(couple) && state.couples[couple].partnerCount == 1)
            toggle_dance(state, couple, 0, dance);
    }
}

} // namespace

void toggle_dance(AppState& state, qint32 couple, qint32 partner, qint32 dance) {
    if (!state.isCouple(couple) || dance < 0 || dance >= kDanceCount)
        return;
    CoupleRecord& c = state.couples[couple];
    if (partner < 0 || partner >= c.partnerCount || partner >= c.partnerDances.size() || dance >= c.danceFlags.size())
        return;
    const QString code = dance_code(dance);
    QString& codes = c.partnerDances[partner];
    const qsizetype at = codes.indexOf(code, 0, Qt::CaseSensitive);
    if (at >= 0)
        codes.remove(at, 1);
    else
        codes.append(code);
    // A flag says that some partner of the couple dances the dance: with two partners on Samba, switching one
    // off leaves the couple on Samba. For a couple with one partner this is the flip of the flag.
    recompute_dance_flags(c);
}

void toggle_regular(AppState& state, qint32 couple) {
    if (!state.isCouple(couple))
        return;
    quint8& regular = state.couples[couple].regular;
    regular = regular == 0 ? 1 : 0;
}

void cycle_section(AppState& state, qint32 couple) {
    if (!state.isCouple(couple))
        return;
    quint8& section = state.couples[couple].section;
    section = section == 0 ? 1 : section == 1 ? 2 : 0;
}

void couple_grid_click(AppState& state, const CoupleGridRows rows, const GridCursor& cursor, qint32& currentCouple,
                       qint32& currentPartner, Prompter& prompter) {
    const int row = cursor.row;
    const int column = cursor.column;
    const bool danceColumn = column >= kGridColFirstDance && column <= kGridColLastDance;
    const CoupleGridRow clicked = rows.value(row);

    if (!clicked.isCoupleRow()) {
        if (!danceColumn || row != 0)
            return;
        const QString question = QStringLiteral("シングルのカップルのみ ") + rows[0].text(column) +
                                 QStringLiteral("　の出場種目表示を反転させます。よろしいですか？");
        if (!prompter.askYesNo(question, Prompter::Icon::Information))
            return;
        currentPartner = 0;
        invertSingles(state, rows, column - kGridColFirstDance);
        state.markCouplesChanged(QStringLiteral("種目の反転"));
        return;
    }

    currentCouple = clicked.couple;
    currentPartner = clicked.partner;
    if (!danceColumn && column != kGridColRegular && column != kGridColSection)
        return;
    // A stale grid row that no longer names a couple of the list changes nothing.
    if (!state.isCouple(currentCouple))
        return;
    if (danceColumn) {
        toggle_dance(state, currentCouple, currentPartner, column - kGridColFirstDance);
        state.markCouplesChanged(QStringLiteral("種目の切り替え"));
    } else if (column == kGridColRegular) {
        toggle_regular(state, currentCouple);
        state.markCouplesChanged(QStringLiteral("Reguler の切り替え"));
    } else {
        cycle_section(state, currentCouple);
        state.markCouplesChanged(QStringLiteral("MorL の切り替え"));
    }
}
