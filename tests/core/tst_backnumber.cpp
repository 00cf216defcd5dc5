#include "backnumber.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QtTest>

using testfiles::couple;
using testfiles::member;

namespace {

AppState threeCouples() {
    AppState state;
    const MemberRecord l = member(QStringLiteral("L"), {}, 1, 0);
    const MemberRecord p = member(QStringLiteral("P"), {}, 1, 1);
    state.couples = {couple(5, l, {p}), couple(8, l, {p}), couple(9, l, {p}), couple(11, l, {p})};
    state.couples[2].deleteMark = 1;
    state.coupleCount = 3; // 11 is beyond the count
    return state;
}

} // namespace

class TestBackNumber : public QObject {
    Q_OBJECT
private slots:
    void conversion_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("number");
        QTest::newRow("zero") << QStringLiteral("0") << true << 0;
        QTest::newRow("negative") << QStringLiteral("-5") << true << -5;
        QTest::newRow("plus sign") << QStringLiteral("+4") << true << 4;
        QTest::newRow("blanks") << QStringLiteral(" 7 ") << true << 7;
        QTest::newRow("half up to even") << QStringLiteral("7.5") << true << 8;
        QTest::newRow("half down to even") << QStringLiteral("6.5") << true << 6;
        QTest::newRow("above half") << QStringLiteral("6.51") << true << 7;
        QTest::newRow("below half") << QStringLiteral("6.49") << true << 6;
        QTest::newRow("negative half") << QStringLiteral("-2.5") << true << -2;
        QTest::newRow("bare fraction") << QStringLiteral(".7") << true << 1;
        QTest::newRow("largest") << QStringLiteral("32767") << true << 32767;
        QTest::newRow("smallest") << QStringLiteral("-32768") << true << -32768;
        QTest::newRow("smallest rounded") << QStringLiteral("-32768.5") << true << -32768;
        QTest::newRow("full-width digits") << QStringLiteral("１２") << true << 12;
        QTest::newRow("ideographic blank") << QStringLiteral("　３") << true << 3;
        QTest::newRow("too large") << QStringLiteral("32768") << false << 0;
        QTest::newRow("rounds too large") << QStringLiteral("32767.5") << false << 0;
        QTest::newRow("huge") << QStringLiteral("99999999999999999999999") << false << 0;
        QTest::newRow("empty") << QString() << false << 0;
        QTest::newRow("blank") << QStringLiteral("  ") << false << 0;
        QTest::newRow("letters") << QStringLiteral("abc") << false << 0;
        QTest::newRow("number then letters") << QStringLiteral("12a") << false << 0;
        QTest::newRow("sign only") << QStringLiteral("-") << false << 0;
        QTest::newRow("point only") << QStringLiteral(".") << false << 0;
    }
    void conversion() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, number);
        qint16 value = 1234;
        QCOMPARE(get_back_number(text, value), ok);
        QCOMPARE(int(value), ok ? number : 1234); // untouched on failure
    }

    void proposal_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("number") << QStringLiteral("12") << QStringLiteral("13");
        QTest::newRow("fraction") << QStringLiteral("12.5") << QStringLiteral("13");
        QTest::newRow("minus one") << QStringLiteral("-1") << QStringLiteral("0");
        QTest::newRow("beyond 16 bits") << QStringLiteral("40000") << QStringLiteral("40001");
        QTest::newRow("letters") << QStringLiteral("abc") << QStringLiteral("abc");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("last before overflow") << QStringLiteral("2147483646") << QStringLiteral("2147483647");
        QTest::newRow("would overflow") << QStringLiteral("2147483647") << QStringLiteral("2147483647");
        QTest::newRow("beyond 32 bits") << QStringLiteral("3000000000") << QStringLiteral("3000000000");
        QTest::newRow("smallest") << QStringLiteral("-2147483648") << QStringLiteral("-2147483647");
        QTest::newRow("below 32 bits") << QStringLiteral("-2147483649") << QStringLiteral("-2147483649");
    }
    void proposal() {
        QFETCH(QString, text);
        QFETCH(QString, proposed);
        QCOMPARE(propose_back_number(text), proposed);
    }

    void uniqueness_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("editPosition");
        QTest::addColumn<bool>("free");
        QTest::newRow("new, used") << 5 << -1 << false;
        QTest::newRow("new, free") << 6 << -1 << true;
        QTest::newRow("edited keeps its own") << 8 << 1 << true;
        QTest::newRow("edited takes another's") << 5 << 1 << false;
        QTest::newRow("marked couple does not count") << 9 << -1 << true;
        QTest::newRow("beyond the count does not count") << 11 << -1 << true;
    }
    void uniqueness() {
        QFETCH(int, number);
        QFETCH(int, editPosition);
        QFETCH(bool, free);
        ScriptedPrompter prompter;
        QCOMPARE(check_back_number(threeCouples(), qint16(number), editPosition, prompter), free);
        QCOMPARE(prompter.messages(),
                 free ? QStringList() : QStringList{QStringLiteral("その背番号は既に使われています。")});
    }

    void coupleInputOrder_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        QTest::newRow("passes") << QStringLiteral("6") << true << int(CoupleInputCheck::Passed) << QString();
        QTest::newRow("bad number first") << QStringLiteral("x") << false << int(CoupleInputCheck::BadNumber)
                                          << QStringLiteral("背番号に数値を入力してください。");
        QTest::newRow("used number before couple") << QStringLiteral("5") << false << int(CoupleInputCheck::NumberInUse)
                                                   << QStringLiteral("その背番号は既に使われています。");
        QTest::newRow("incomplete") << QStringLiteral("6") << false << int(CoupleInputCheck::Incomplete)
                                    << QStringLiteral("リーダー、パートナーを決めてください。");
    }
    void coupleInputOrder() {
        QFETCH(QString, text);
        QFETCH(bool, complete);
        QFETCH(int, result);
        QFETCH(QString, message);
        CoupleRecord working = new_couple_record({});
        if (complete) {
            working.leader.name = QStringLiteral("L");
            working.partnerCount = 1;
        }
        ScriptedPrompter prompter;
        QCOMPARE(int(check_couple_input(threeCouples(), text, -1, working, prompter)), result);
        QCOMPARE(prompter.messages(), message.isEmpty() ? QStringList() : QStringList{message});
        for (const auto& shown : prompter.shown())
            QCOMPARE(shown.icon, Prompter::Icon::Information);
        // The number reaches the couple only once it is known to be free.
        const bool numberFree = result == int(CoupleInputCheck::Passed) || result == int(CoupleInputCheck::Incomplete);
        QCOMPARE(working.backNumber, numberFree ? text.toInt() : 0);

        // A leader without partners, and partners without a leader, are both incomplete.
        CoupleRecord noPartner = new_couple_record({});
        noPartner.leader.name = QStringLiteral("L");
        QCOMPARE(check_couple_input(threeCouples(), QStringLiteral("6"), -1, noPartner, prompter),
                 CoupleInputCheck::Incomplete);
    }
};

QTEST_GUILESS_MAIN(TestBackNumber)
#include "tst_backnumber.moc"
