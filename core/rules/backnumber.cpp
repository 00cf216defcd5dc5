#include "backnumber.h"

#include "numbertext.h"

#include <algorithm>
#include <limits>

bool get_back_number(const QString& text, qint16& number) {
    return parse_whole_number(text, number);
}

QString propose_back_number(const QString& text) {
    qint64 value = 0;
    if (!parse_rounded_number(text, value))
        return text;
    // A value that leaves the 32-bit range, or would leave it by adding one, is not proposed.
    if (value < std::numeric_limits<qint32>::min() || value >= std::numeric_limits<qint32>::max())
        return text;
    return QString::number(value + 1);
}

bool check_back_number(const AppState& state, qint16 number, qint32 editPosition, Prompter& prompter) {
    const std::span<const CoupleRecord> couples = state.entryCouples();
    qint32 used = 0;
    for (size_t i = 0; i < couples.size(); ++i) {
        if (qint64(i) == editPosition || couples[i].deleteMark != 0)
            continue;
        if (couples[i].backNumber == qint32(number))
            ++used;
    }
    if (used > 0) {
        prompter.showMessage(QStringLiteral("その背番号は既に使われています。"), Prompter::Icon::Information);
        return false;
    }
    return true;
}

CoupleInputCheck check_couple_input(const AppState& state, const QString& numberText, qint32 editPosition,
                                    CoupleRecord& working, Prompter& prompter) {
    qint16 number = 0;
    if (!get_back_number(numberText, number)) {
        prompter.showMessage(QStringLiteral("背番号に数値を入力してください。"), Prompter::Icon::Information);
        return CoupleInputCheck::BadNumber;
    }
    if (!check_back_number(state, number, editPosition, prompter))
        return CoupleInputCheck::NumberInUse;
    working.backNumber = qint32(number);
    if (working.leader.name.isEmpty() || working.partnerCount < 1) {
        prompter.showMessage(QStringLiteral("リーダー、パートナーを決めてください。"), Prompter::Icon::Information);
        return CoupleInputCheck::Incomplete;
    }
    return CoupleInputCheck::Passed;
}
