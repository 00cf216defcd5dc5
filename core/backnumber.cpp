#include "backnumber.h"

#include <algorithm>
#include <limits>

namespace {

// Reads "[sign]digits[.digits]" (blanks around it ignored, full-width forms accepted) and rounds the
// fraction to the nearest integer, a half to the even neighbour. Fails for anything else and for a value
// too large to be any back number.
bool parseRounded(const QString& input, qint64& value) {
    const QString text = input.normalized(QString::NormalizationForm_KC).trimmed();
    qsizetype at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        negative = text[at] == u'-';
        ++at;
    }
    const qsizetype intStart = at;
    while (at < text.size() && text[at] >= u'0' && text[at] <= u'9')
        ++at;
    const QString integerDigits = text.mid(intStart, at - intStart);
    QString fractionDigits;
    if (at < text.size() && text[at] == u'.') {
        ++at;
        const qsizetype fracStart = at;
        while (at < text.size() && text[at] >= u'0' && text[at] <= u'9')
            ++at;
        fractionDigits = text.mid(fracStart, at - fracStart);
    }
    if (at != text.size() || (integerDigits.isEmpty() && fractionDigits.isEmpty()))
        return false;

    qint64 whole = 0;
    for (QChar digit : integerDigits) {
        whole = whole * 10 + (digit.unicode() - u'0');
        if (whole > (qint64(1) << 40))
            return false; // far outside every range a caller accepts
    }
    if (!fractionDigits.isEmpty()) {
        const QChar firstDigit = fractionDigits[0];
        const bool restNonZero =
            std::any_of(fractionDigits.cbegin() + 1, fractionDigits.cend(), [](QChar c) { return c != u'0'; });
        if (firstDigit > u'5' || (firstDigit == u'5' && (restNonZero || whole % 2 == 1)))
            whole += 1;
    }
    value = negative ? -whole : whole;
    return true;
}

} // namespace

bool get_back_number(const QString& text, qint16& number) {
    qint64 value = 0;
    if (!parseRounded(text, value))
        return false;
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return false;
    number = qint16(value);
    return true;
}

QString propose_back_number(const QString& text) {
    qint64 value = 0;
    if (!parseRounded(text, value))
        return text;
    // A value that leaves the 32-bit range, or would leave it by adding one, is not proposed.
    if (value < std::numeric_limits<qint32>::min() || value >= std::numeric_limits<qint32>::max())
        return text;
    return QString::number(value + 1);
}

bool check_back_number(const AppState& state, qint16 number, qint32 editPosition, Prompter& prompter) {
    const qsizetype count = std::min<qsizetype>(std::max(state.coupleCount, 0), state.couples.size());
    qint32 used = 0;
    for (qsizetype i = 0; i < count; ++i) {
        if (i == editPosition || state.couples[i].deleteMark != 0)
            continue;
        if (state.couples[i].backNumber == qint32(number))
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
