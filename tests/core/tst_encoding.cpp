// Text conversion to and from code page 932 as the club's Windows files hold it, and the text field of
// the record encoding.

#include "cp932.h"
#include "recordcodec.h"
#include "testfiles.h"

#include <QTest>

using testfiles::fromHex;

class TestEncoding : public QObject {
    Q_OBJECT

private slots:
    void converterAvailable();

    void roundTrip_data();
    void roundTrip();

    void jisFormsStoredAsWindowsForms_data();
    void jisFormsStoredAsWindowsForms();

    void unencodableRefused_data();
    void unencodableRefused();

    void invalidBytesRefused_data();
    void invalidBytesRefused();

    void textLengthLimit_data();
    void textLengthLimit();
    void textFieldCountsBytes();
};

void TestEncoding::converterAvailable() {
    QVERIFY(cp932::available());
}

// Characters whose code page 932 bytes differ from plain JIS or from other Shift-JIS tables: the NEC
// and IBM extensions, half-width katakana and the Windows forms of the dash and tilde family.
void TestEncoding::roundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("circled one (NEC row 13)") << QString::fromUtf8("①") << fromHex("87 40");
    QTest::newRow("fullwidth tilde") << QString::fromUtf8("～") << fromHex("81 60");
    QTest::newRow("fullwidth hyphen-minus") << QString::fromUtf8("－") << fromHex("81 7C");
    QTest::newRow("half-width katakana") << QString::fromUtf8("ｱ") << fromHex("B1");
    QTest::newRow("taka (IBM extension)") << QString::fromUtf8("髙") << fromHex("FB FC");
    QTest::newRow("parallel to") << QString::fromUtf8("∥") << fromHex("81 61");
    QTest::newRow("horizontal bar") << QString::fromUtf8("―") << fromHex("81 5C");
    QTest::newRow("fullwidth cent, pound, not") << QString::fromUtf8("￠￡￢") << fromHex("81 91 81 92 81 CA");
    QTest::newRow("backslash and tilde stay ASCII") << QStringLiteral("\\~") << fromHex("5C 7E");
    QTest::newRow("name") << QString::fromUtf8("山田やまだ") << fromHex("8E 52 93 63 82 E2 82 DC 82 BE");
    QTest::newRow("line break") << QStringLiteral("a\r\nb") << fromHex("61 0D 0A 62");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestEncoding::roundTrip() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    QByteArray encoded;
    QString error;
    QVERIFY2(cp932::encode(text, &encoded, &error), qPrintable(error));
    QCOMPARE(encoded, bytes);

    QString decoded;
    QVERIFY(cp932::decode(bytes, &decoded));
    QCOMPARE(decoded, text);
}

// Input methods here type these in their JIS form; the files must hold what Windows stores for them.
void TestEncoding::jisFormsStoredAsWindowsForms_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("wave dash U+301C") << QString(QChar(0x301C)) << fromHex("81 60");
    QTest::newRow("double vertical line U+2016") << QString(QChar(0x2016)) << fromHex("81 61");
    QTest::newRow("minus sign U+2212") << QString(QChar(0x2212)) << fromHex("81 7C");
    QTest::newRow("cent sign U+00A2") << QString(QChar(0x00A2)) << fromHex("81 91");
    QTest::newRow("pound sign U+00A3") << QString(QChar(0x00A3)) << fromHex("81 92");
    QTest::newRow("not sign U+00AC") << QString(QChar(0x00AC)) << fromHex("81 CA");
    QTest::newRow("em dash U+2014") << QString(QChar(0x2014)) << fromHex("81 5C");
    QTest::newRow("inside a text") << (QStringLiteral("10") + QChar(0x301C) + QStringLiteral("12"))
                                   << fromHex("31 30 81 60 31 32");
}

void TestEncoding::jisFormsStoredAsWindowsForms() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, bytes);

    QVERIFY(cp932::firstUnencodable(typed).isEmpty());
    QByteArray encoded;
    QString error;
    QVERIFY2(cp932::encode(typed, &encoded, &error), qPrintable(error));
    QCOMPARE(encoded, bytes);
    // Read back, the text is the Windows form, which encodes to the same bytes again.
    QString decoded;
    QVERIFY(cp932::decode(encoded, &decoded));
    QCOMPARE(decoded, cp932::normalized(typed));
}

void TestEncoding::unencodableRefused_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("culprit");
    QTest::addColumn<QString>("codePoint");

    QTest::newRow("tsuchiyoshi alone") << QString::fromUtf8("𠮷") << QString::fromUtf8("𠮷")
                                       << QStringLiteral("U+20BB7");
    QTest::newRow("tsuchiyoshi in a name")
        << QString::fromUtf8("𠮷田太郎") << QString::fromUtf8("𠮷") << QStringLiteral("U+20BB7");
    QTest::newRow("after encodable text")
        << QString::fromUtf8("山田é") << QString::fromUtf8("é") << QStringLiteral("U+00E9");
    QTest::newRow("euro sign") << QString::fromUtf8("€") << QString::fromUtf8("€") << QStringLiteral("U+20AC");
    QTest::newRow("half-width yen has no round trip")
        << QString(QChar(0x00A5)) << QString(QChar(0x00A5)) << QStringLiteral("U+00A5");
    QTest::newRow("lone surrogate") << (QStringLiteral("a") + QChar(0xD842)) << QString(QChar(0xD842))
                                    << QStringLiteral("U+D842");
}

void TestEncoding::unencodableRefused() {
    QFETCH(QString, text);
    QFETCH(QString, culprit);
    QFETCH(QString, codePoint);

    QCOMPARE(cp932::firstUnencodable(text), culprit);

    QByteArray encoded = "untouched";
    QString error;
    QVERIFY(!cp932::encode(text, &encoded, &error));
    QCOMPARE(encoded, QByteArray("untouched"));
    QVERIFY2(error.contains(culprit), qPrintable(error));
    QVERIFY2(error.contains(codePoint), qPrintable(error));

    // The record writer refuses the field instead of writing substitute bytes, and says which text.
    RecordWriter writer;
    writer.writeText(QStringLiteral("ok"));
    writer.writeText(text);
    writer.writeText(QStringLiteral("after"));
    QVERIFY(!writer.ok());
    QVERIFY2(writer.errorString().contains(culprit), qPrintable(writer.errorString()));
}

void TestEncoding::invalidBytesRefused_data() {
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("lone lead byte") << fromHex("82");
    QTest::newRow("lead byte at the end of a field") << fromHex("41 82");
    QTest::newRow("lead byte before an invalid trail byte") << fromHex("82 20");
    QTest::newRow("0x80") << fromHex("80");
    QTest::newRow("0xA0") << fromHex("A0");
    QTest::newRow("0xFF") << fromHex("FF");
    QTest::newRow("unassigned double byte") << fromHex("85 40");
}

void TestEncoding::invalidBytesRefused() {
    QFETCH(QByteArray, bytes);

    QString decoded = QStringLiteral("untouched");
    QVERIFY(!cp932::decode(bytes, &decoded));
    QCOMPARE(decoded, QStringLiteral("untouched"));

    // In a record the bad field makes the reader fail with a message.
    QByteArray field = fromHex("00 00");
    field[0] = char(bytes.size());
    field += bytes;
    RecordReader reader(field);
    QString text;
    QVERIFY(!reader.readText(text));
    QVERIFY(!reader.errorString().isEmpty());
}

void TestEncoding::textLengthLimit_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("65535 single bytes") << QString(65535, QLatin1Char('a')) << true;
    QTest::newRow("65536 single bytes") << QString(65536, QLatin1Char('a')) << false;
    QTest::newRow("32767 kanji, 65534 bytes") << QString(32767, QChar(0x5C71)) << true;
    QTest::newRow("32768 kanji, 65536 bytes") << QString(32768, QChar(0x5C71)) << false;
}

void TestEncoding::textLengthLimit() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);

    RecordWriter writer;
    writer.writeText(text);
    QCOMPARE(writer.ok(), accepted);
    if (accepted) {
        RecordReader reader(writer.data());
        QString read;
        QVERIFY(reader.readText(read));
        QCOMPARE(read, text);
        QCOMPARE(reader.remaining(), 0);
    } else {
        QVERIFY(!writer.errorString().isEmpty());
        QVERIFY2(writer.errorString().contains(text.left(10)), qPrintable(writer.errorString().left(200)));
    }
}

// The length prefix counts code page 932 bytes, not characters.
void TestEncoding::textFieldCountsBytes() {
    RecordWriter writer;
    writer.writeText(QString::fromUtf8("山田ｱ"));
    writer.writeText(QString());
    QVERIFY(writer.ok());
    QCOMPARE(writer.data(), fromHex("05 00 8E 52 93 63 B1 00 00"));
}

QTEST_GUILESS_MAIN(TestEncoding)
#include "tst_encoding.moc"
