// The dance table and the texts that stand for roles, sections and the regular mark.

#include "vocabulary.h"

#include <QTest>

class TestVocabulary : public QObject {
    Q_OBJECT

private slots:
    void danceTable();

    void danceIndex_data();
    void danceIndex();

    void danceCode_data();
    void danceCode();

    void parseDanceCodes_data();
    void parseDanceCodes();

    void texts_data();
    void texts();
};

// Every code is the first letter of its name, each index maps back to itself, and no two codes clash.
void TestVocabulary::danceTable() {
    const QStringList names = {QStringLiteral("Walts"), QStringLiteral("Tango"),  QStringLiteral("Fox"),
                               QStringLiteral("Quick"), QStringLiteral("ChaCha"), QStringLiteral("Samba"),
                               QStringLiteral("Rumba"), QStringLiteral("Paso")};
    QCOMPARE(kDanceCount, 8);
    for (qint32 i = 0; i < kDanceCount; ++i) {
        QCOMPARE(dance_name(i), names[i]);
        QCOMPARE(dance_code(i), names[i].left(1));
        QCOMPARE(dance_index(dance_code(i).at(0)), i);
    }
    QCOMPARE(dance_name(-1), QString());
    QCOMPARE(dance_name(8), QString());
}

void TestVocabulary::danceIndex_data() {
    QTest::addColumn<QChar>("code");
    QTest::addColumn<qint32>("index");

    QTest::newRow("P") << QChar(u'P') << 7;
    QTest::newRow("W") << QChar(u'W') << 0;
    QTest::newRow("C") << QChar(u'C') << 4;
    QTest::newRow("lower-case p") << QChar(u'p') << -1;
    QTest::newRow("lower-case w") << QChar(u'w') << -1;
    QTest::newRow("X") << QChar(u'X') << -1;
    QTest::newRow("full-width W") << QChar(0xFF37) << -1;
    QTest::newRow("NUL") << QChar(0) << -1;
}

void TestVocabulary::danceIndex() {
    QFETCH(QChar, code);
    QFETCH(qint32, index);
    QCOMPARE(dance_index(code), index);
}

void TestVocabulary::danceCode_data() {
    QTest::addColumn<qint32>("index");
    QTest::addColumn<QString>("code");

    QTest::newRow("0") << 0 << QStringLiteral("W");
    QTest::newRow("4") << 4 << QStringLiteral("C");
    QTest::newRow("7") << 7 << QStringLiteral("P");
    QTest::newRow("8") << 8 << QString();
    QTest::newRow("-1") << -1 << QString();
    QTest::newRow("large") << 2147483647 << QString();
}

void TestVocabulary::danceCode() {
    QFETCH(qint32, index);
    QFETCH(QString, code);
    QCOMPARE(dance_code(index), code);
}

void TestVocabulary::parseDanceCodes_data() {
    QTest::addColumn<QString>("codes");
    QTest::addColumn<qint32>("count");
    QTest::addColumn<QList<quint8>>("indexes");

    const QList<quint8> previous = {9, 9, 9};
    QTest::newRow("QW keeps the order") << QStringLiteral("QW") << 2 << QList<quint8>{3, 0};
    QTest::newRow("all eight") << QStringLiteral("PRSCQFTW") << 8 << QList<quint8>{7, 6, 5, 4, 3, 2, 1, 0};
    QTest::newRow("empty leaves the list") << QString() << 0 << previous;
    QTest::newRow("invalid character skipped") << QStringLiteral("WxP") << 2 << QList<quint8>{0, 7};
    QTest::newRow("only invalid characters") << QStringLiteral("wq?") << 0 << QList<quint8>{};
}

void TestVocabulary::parseDanceCodes() {
    QFETCH(QString, codes);
    QFETCH(qint32, count);
    QFETCH(QList<quint8>, indexes);

    QList<quint8> result = {9, 9, 9};
    QCOMPARE(parse_dance_codes(codes, result), count);
    QCOMPARE(result, indexes);
}

void TestVocabulary::texts_data() {
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");

    auto role = [](quint8 value) {
        MemberRecord member;
        member.role = value;
        return role_text(member);
    };
    QTest::newRow("role 0") << role(0) << QStringLiteral("leader");
    QTest::newRow("role 1") << role(1) << QStringLiteral("partner");
    QTest::newRow("role 2") << role(2) << QStringLiteral("partner");
    QTest::newRow("role 255") << role(255) << QStringLiteral("partner");
    QTest::newRow("section 0") << section_text(0) << QStringLiteral("Modan");
    QTest::newRow("section 1") << section_text(1) << QStringLiteral("Latin");
    QTest::newRow("section 2") << section_text(2) << QStringLiteral("Rookie");
    QTest::newRow("section 3") << section_text(3) << QStringLiteral("Rookie");
    QTest::newRow("section 255") << section_text(255) << QStringLiteral("Rookie");
    QTest::newRow("regular 1") << regular_text(1) << QString::fromUtf8("◎");
    QTest::newRow("regular 0") << regular_text(0) << QString();
    QTest::newRow("regular 2") << regular_text(2) << QString();
    QTest::newRow("dance mark") << kDanceMark << QString(QChar(0x25CB));
    QTest::newRow("regular mark") << kRegularMark << QString(QChar(0x25CE));
}

void TestVocabulary::texts() {
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

QTEST_GUILESS_MAIN(TestVocabulary)
#include "tst_vocabulary.moc"
