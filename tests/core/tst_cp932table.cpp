// The table converter against ICU over every code, both ways, so that the two can never drift apart (apart from
// three control codes, which map to themselves as on Windows); and
// the entry points that convert straight into and out of a record's byte buffer.

#include "cp932.h"
#include "cp932table.h"
#include "recordcodec.h"
#include "testfiles.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

#include <optional>

using testfiles::fromHex;

namespace {
constexpr const char* kCodecName = "windows-31j";
constexpr auto kFlags = QStringConverter::Flag::Stateless;

// ICU's answer for one input: the result, or nullopt when it meets an error. A converter that has met
// an error is opened again, since it keeps its error flag.
template <typename Converter, typename Result, typename Input> class Reference {
public:
    std::optional<Result> convert(Input input) {
        if (!m_converter || m_converter->hasError())
            m_converter.emplace(kCodecName, kFlags);
        m_converter->resetState();
        Result result = (*m_converter)(input);
        if (m_converter->hasError())
            return std::nullopt;
        return result;
    }

private:
    std::optional<Converter> m_converter;
};
using IcuDecoder = Reference<QStringDecoder, QString, QByteArrayView>;
using IcuEncoder = Reference<QStringEncoder, QByteArray, QStringView>;

// ICU rotates three control codes (byte 1A reads as U+001C, 1C as U+007F, 7F as U+001A); the program maps each
// to itself, as Windows does. That is the one difference expected from ICU: these undo the rotation in what ICU
// gives. In code page 932 the three bytes never stand inside a two-byte code, so bytes can be mapped one by one.
constexpr std::pair<char16_t, char16_t> kIcuRotation[] = {{0x1C, 0x1A}, {0x7F, 0x1C}, {0x1A, 0x7F}};

QString asWindowsReads(QString icu) {
    for (QChar& c : icu) {
        for (const auto& [fromIcu, windows] : kIcuRotation) {
            if (c.unicode() == fromIcu) {
                c = QChar(windows);
                break;
            }
        }
    }
    return icu;
}

QByteArray asWindowsWrites(QByteArray icu) {
    for (char& byte : icu) {
        for (const auto& [windows, fromIcu] : kIcuRotation) {
            if (uchar(byte) == fromIcu) {
                byte = char(windows);
                break;
            }
        }
    }
    return icu;
}

template <typename T> std::optional<T> asWindows(const std::optional<T>& icu, T (*convert)(T)) {
    return icu ? std::optional<T>(convert(*icu)) : std::nullopt;
}
} // namespace

class TestCp932Table : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void decodesEveryCodeAsIcu();
    void encodesEveryBmpUnitAsIcu();
    void controlCodesMapToThemselves_data();
    void controlCodesMapToThemselves();

    void encodeAppendKeepsWhatWasThere_data();
    void encodeAppendKeepsWhatWasThere();
    void longFieldsDecoded_data();
    void longFieldsDecoded();
    void refusedTextLeavesNoBytes_data();
    void refusedTextLeavesNoBytes();
    void writerDataBetweenWrites();
    void repeatedTextsReadBack_data();
    void repeatedTextsReadBack();

private:
    const cp932::table::Decoding* m_decoding = nullptr;
    const cp932::table::Encoding* m_encoding = nullptr;
};

void TestCp932Table::initTestCase() {
    // Without tables every conversion would quietly go through ICU and nothing here would be tested.
    m_decoding = cp932::table::decoding();
    m_encoding = cp932::table::encoding();
    QVERIFY(m_decoding);
    QVERIFY(m_encoding);
}

// Every single byte and every pair of bytes as a field of its own: what the table accepts ICU accepts as
// the same text (the three control codes aside), and what it refuses (lone lead bytes, invalid second bytes,
// unassigned codes) ICU refuses.
void TestCp932Table::decodesEveryCodeAsIcu() {
    IcuDecoder icu;
    QStringList mismatches;
    QByteArray allValid;
    QString allValidText;
    auto compare = [&](QByteArrayView bytes) {
        QString table = QStringLiteral("untouched");
        const bool accepted = cp932::table::decode(*m_decoding, bytes, table);
        const std::optional<QString> expected = asWindows(icu.convert(bytes), asWindowsReads);
        if (accepted != expected.has_value() || (accepted && table != *expected) ||
            (!accepted && table != QStringLiteral("untouched")))
            mismatches << QString::fromLatin1(bytes.toByteArray().toHex(' '));
        if (accepted && bytes.size() == 2 && table.size() == 1) {
            allValid += bytes.toByteArray();
            allValidText += table;
        }
    };
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        compare(QByteArrayView(&byte, 1));
    }
    for (int code = 0; code < 0x10000; ++code) {
        const char pair[2] = {char(code >> 8), char(code)};
        compare(QByteArrayView(pair, 2));
    }
    QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.mid(0, 20).join(QStringLiteral(", "))));

    // Every double-byte code at once, as one long field.
    QCOMPARE(allValidText.size(), allValid.size() / 2);
    QVERIFY(allValidText.size() > 7000);
    QString table;
    QVERIFY(cp932::table::decode(*m_decoding, allValid, table));
    QCOMPARE(table, allValidText);
    QCOMPARE(icu.convert(allValid).value_or(QString()), allValidText);
}

// Every UTF-16 code unit, lone surrogates included, as a text of its own: the program writes the bytes ICU
// writes for the normalised text and refuses what ICU refuses. The table itself only leaves out what ICU
// refuses and private-use characters that ICU writes by fallback.
void TestCp932Table::encodesEveryBmpUnitAsIcu() {
    IcuEncoder icu;
    QStringList mismatches;
    QString allEncodable;
    QByteArray allBytes;
    for (int unit = 0; unit < 0x10000; ++unit) {
        const QString text{QChar(char16_t(unit))};
        const std::optional<QByteArray> expected = asWindows(icu.convert(cp932::normalized(text)), asWindowsWrites);

        QByteArray written = "before";
        QString error;
        const bool ok = cp932::encode(text, &written, &error);
        if (ok != expected.has_value() || (ok && written != *expected) || (!ok && written != "before") ||
            ok == !error.isEmpty())
            mismatches << QStringLiteral("U+%1").arg(unit, 4, 16, QLatin1Char('0'));

        QByteArray fromTable;
        if (cp932::table::encode(*m_encoding, text, fromTable)) {
            if (fromTable != expected.value_or(QByteArray("refused")))
                mismatches << QStringLiteral("table U+%1").arg(unit, 4, 16, QLatin1Char('0'));
            allEncodable += text;
            allBytes += fromTable;
        } else if (expected && QChar::category(char32_t(unit)) != QChar::Other_PrivateUse) {
            mismatches << QStringLiteral("table misses U+%1").arg(unit, 4, 16, QLatin1Char('0'));
        }
    }
    QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.mid(0, 20).join(QStringLiteral(", "))));

    // Every character at once gives the same bytes as one by one.
    QVERIFY(allEncodable.size() > 9000);
    QByteArray written;
    QVERIFY(cp932::encode(allEncodable, &written));
    QCOMPARE(written, allBytes);
    QCOMPARE(asWindowsWrites(icu.convert(cp932::normalized(allEncodable)).value_or(QByteArray())), allBytes);
}

// What the exhaustive comparisons leave out for the three control codes: ICU itself rotates them, a text that
// goes through ICU for a private-use character still writes them as the tables do, and the lossy reader of
// hand-made files reads them as the strict one.
void TestCp932Table::controlCodesMapToThemselves_data() {
    QTest::addColumn<char16_t>("code");
    QTest::addColumn<char16_t>("icuReads");
    QTest::newRow("1A") << char16_t(0x1A) << char16_t(0x1C);
    QTest::newRow("1C") << char16_t(0x1C) << char16_t(0x7F);
    QTest::newRow("7F") << char16_t(0x7F) << char16_t(0x1A);
}

void TestCp932Table::controlCodesMapToThemselves() {
    QFETCH(char16_t, code);
    QFETCH(char16_t, icuReads);
    const QByteArray byte(1, char(code));
    const QString character{QChar(code)};
    QCOMPARE(IcuDecoder().convert(byte).value_or(QString()), QString(QChar(icuReads)));
    QCOMPARE(cp932::decodeLossy(QByteArray("\x81") + byte), QString(QChar::ReplacementCharacter) + character);
    QByteArray written;
    QVERIFY(cp932::encode(character + QChar(0xF86F), &written));
    QCOMPARE(written.left(1), byte);
}

void TestCp932Table::encodeAppendKeepsWhatWasThere_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("appended"); // empty when refused
    QTest::addColumn<bool>("accepted");

    QTest::newRow("name") << QString::fromUtf8("高橋ｱ") << fromHex("8D 82 8B B4 B1") << true;
    QTest::newRow("JIS forms") << (QChar(0x301C) + QString(QChar(0x2212))) << fromHex("81 60 81 7C") << true;
    QTest::newRow("empty") << QString() << QByteArray() << true;
    QTest::newRow("private use written by ICU's fallback")
        << QString(QChar(0xF86F)) << *IcuEncoder().convert(QString(QChar(0xF86F))) << true;
    QTest::newRow("refused after encodable text") << QString::fromUtf8("山田€") << QByteArray() << false;
    QTest::newRow("lone low surrogate") << QString(QChar(0xDC00)) << QByteArray() << false;
    QTest::newRow("surrogate pair outside the code page") << QString::fromUtf8("😀") << QByteArray() << false;
}

void TestCp932Table::encodeAppendKeepsWhatWasThere() {
    QFETCH(QString, text);
    QFETCH(QByteArray, appended);
    QFETCH(bool, accepted);

    QByteArray out = "head";
    QString error;
    QCOMPARE(cp932::encodeAppend(text, out, &error), accepted);
    QCOMPARE(out, QByteArray("head") + appended);
    QCOMPARE(error.isEmpty(), accepted);
}

// Fields longer than what is decoded on the stack take the other way into the string.
void TestCp932Table::longFieldsDecoded_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("accepted");

    const QByteArray kanji = fromHex("8E 52"); // 山
    QTest::newRow("256 single bytes") << QByteArray(256, 'a') << true;
    QTest::newRow("257 single bytes") << QByteArray(257, 'a') << true;
    QTest::newRow("300 kanji") << kanji.repeated(300) << true;
    QTest::newRow("255 bytes ending in a kanji") << (QByteArray("a") + kanji.repeated(127)) << true;
    QTest::newRow("65535 bytes, the longest field") << (QByteArray("a") + kanji.repeated(32767)) << true;
    QTest::newRow("long field ending in a lone lead byte") << (kanji.repeated(300) + fromHex("8E")) << false;
    QTest::newRow("long field with an invalid second byte") << (kanji.repeated(200) + fromHex("8E 20")) << false;
}

void TestCp932Table::longFieldsDecoded() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accepted);

    QString text = QStringLiteral("untouched");
    QCOMPARE(cp932::decode(bytes, &text), accepted);
    const std::optional<QString> expected = IcuDecoder().convert(bytes);
    QCOMPARE(expected.has_value(), accepted);
    QCOMPARE(text, accepted ? *expected : QStringLiteral("untouched"));
}

// A text the writer refuses leaves none of its bytes (nor its length) behind in the buffer.
void TestCp932Table::refusedTextLeavesNoBytes_data() {
    QTest::addColumn<QString>("text");

    QTest::newRow("unencodable at the end") << QString::fromUtf8("山田太郎é");
    QTest::newRow("lone high surrogate") << (QStringLiteral("ab") + QChar(0xD842));
    QTest::newRow("65536 bytes") << QString(32768, QChar(0x5C71));
}

void TestCp932Table::refusedTextLeavesNoBytes() {
    QFETCH(QString, text);

    RecordWriter writer;
    writer.writeLong(7);
    writer.writeText(QStringLiteral("ok"));
    const QByteArray before = writer.data();
    writer.writeText(text);
    QVERIFY(!writer.ok());
    QCOMPARE(writer.data(), before);
}

// The buffer handed out by data() stays as it was while the writer goes on writing.
void TestCp932Table::writerDataBetweenWrites() {
    RecordWriter writer;
    writer.writeText(QString::fromUtf8("山"));
    const QByteArray first = writer.data();
    writer.writeLong(-2);
    writer.writeText(QStringLiteral("b"));
    QCOMPARE(first, fromHex("02 00 8E 52"));
    QCOMPARE(writer.data(), fromHex("02 00 8E 52 FE FF FF FF 01 00 62"));
}

// The reader shares the string of a text it has read before; texts that merely look alike to it (same
// length, same first and last bytes) and texts too long to be remembered still read back as written.
void TestCp932Table::repeatedTextsReadBack_data() {
    QTest::addColumn<QStringList>("texts");

    const QString head = QString::fromUtf8("県立第一"); // eight bytes, as the tail
    const QString tail = QString::fromUtf8("高等学校");
    QTest::newRow("the same text again") << QStringList{QString::fromUtf8("理工学部"), QString::fromUtf8("文学部"),
                                                        QString::fromUtf8("理工学部"), QString::fromUtf8("理工学部")};
    QTest::newRow("same length, first and last bytes") << QStringList{
        head + QStringLiteral("1") + tail, head + QStringLiteral("2") + tail, head + QStringLiteral("1") + tail};
    QTest::newRow("a prefix of the text before") << QStringList{QStringLiteral("abcdef"), QStringLiteral("abc")};
    QTest::newRow("empty between equal texts") << QStringList{QStringLiteral("x"), QString(), QStringLiteral("x")};
    QTest::newRow("long texts") << QStringList{QString(40, QChar(0x5C71)), QString(40, QChar(0x5C71)),
                                               QString(39, QChar(0x5C71)) + QChar(0x7530)};
}

void TestCp932Table::repeatedTextsReadBack() {
    QFETCH(QStringList, texts);

    RecordWriter writer;
    for (const QString& text : texts)
        writer.writeText(text);
    QVERIFY(writer.ok());
    RecordReader reader(writer.data());
    QStringList read;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        QString text;
        QVERIFY(reader.readText(text));
        read << text;
    }
    QCOMPARE(read, texts);
    QCOMPARE(reader.remaining(), 0);
}

QTEST_GUILESS_MAIN(TestCp932Table)
#include "tst_cp932table.moc"
