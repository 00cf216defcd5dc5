// Gamename.txt as people write it (with or without a count, UTF-8 or Shift-JIS, a stray byte, too many names) and
// as the names editor writes it (byte for byte, the replaced file kept, the names it refuses).

#include "backups.h"
#include "cp932.h"
#include "datafiles.h"
#include "gamenamelist.h"
#include "gamenames.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QtTest>

namespace {

QByteArray sjis(const QString& text) {
    QByteArray bytes;
    cp932::encode(text, &bytes);
    return bytes;
}

QByteArray manyNames(int count, bool withCount) {
    QByteArray bytes = withCount ? QByteArray::number(count) + "\r\n" : QByteArray();
    for (int i = 1; i <= count; ++i)
        bytes += "Game " + QByteArray::number(i) + "\r\n";
    return bytes;
}

} // namespace

class TestGameNames : public QObject {
    Q_OBJECT
private slots:
    void reading_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("leftOut");
        QTest::addColumn<QList<int>>("unreadable");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<bool>("refused");

        const QString spring = QStringLiteral("春の大会");
        const QString autumn = QStringLiteral("秋の部内戦");
        const QString winter = QStringLiteral("冬の新人戦");
        const QStringList three = {spring, autumn, winter};
        const QString lines = spring + QStringLiteral("\r\n") + autumn + QStringLiteral("\r\n") + winter;
        const QList<int> none;
        const QString utf8 = QStringLiteral("UTF-8");
        const QString shiftJis = QStringLiteral("Shift-JIS");
        QTest::newRow("no count") << lines.toUtf8() << three << none << none << utf8 << false;
        QTest::newRow("no count, a name starting with a digit")
            << QByteArray("2024 Spring\nB\n") << QStringList{QStringLiteral("2024 Spring"), QStringLiteral("B")} << none
            << none << utf8 << false;
        QTest::newRow("short count") << "1\r\n" + sjis(lines) << QStringList{spring} << QList<int>{3, 4} << none
                                     << shiftJis << false;
        QTest::newRow("UTF-8 without a byte-order mark")
            << "3\n" + lines.toUtf8() << three << none << none << utf8 << false;
        QTest::newRow("UTF-8 with a byte-order mark")
            << "\xEF\xBB\xBF" + lines.toUtf8() << three << none << none << utf8 << false;
        QTest::newRow("Shift-JIS") << "3\r\n" + sjis(lines) << three << none << none << shiftJis << false;
        // One stray byte garbles neither the encoding of the others nor the other lines; its own line gives no name
        // and still takes its place under the count.
        QTest::newRow("UTF-8, one stray byte") << (QStringLiteral("3\n") + spring + QStringLiteral("\n")).toUtf8() +
                                                      "\xFF" + autumn.toUtf8() + "\n" + winter.toUtf8()
                                               << QStringList{spring, winter} << none << QList<int>{3} << utf8 << false;
        QTest::newRow("Shift-JIS, a lone lead byte at a line end")
            << "3\r\n" + sjis(spring) + "\x81\r\n" + sjis(autumn) + "\r\n" + sjis(winter) + "\r\n"
            << QStringList{autumn, winter} << none << QList<int>{2} << shiftJis << false;
        QTest::newRow("1,000 names") << manyNames(1000, true) << QStringList() << none << none << utf8 << false;
        QTest::newRow("1,001 names") << manyNames(1001, false) << QStringList() << none << none << utf8 << true;
        QTest::newRow("a count of 1 before 1,001 names")
            << manyNames(1001, false).prepend("1\r\n") << QStringList() << none << none << utf8 << true;
    }
    void reading() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, leftOut);
        QFETCH(QList<int>, unreadable);
        QFETCH(QString, encoding);
        QFETCH(bool, refused);

        QTemporaryDir dir;
        const QString path = testfiles::stateIn(dir).gameNamesPath();
        testfiles::writeBytes(path, file);
        const GameNamesRead read = read_game_names_file(path);
        if (!refused)
            QCOMPARE(read.encoding, encoding);
        QCOMPARE(read.leftOutLines, leftOut);
        QCOMPARE(read.unreadableLines, unreadable);
        if (refused) {
            QVERIFY(read.names.isEmpty());
            QVERIFY2(read.refusal.contains(QStringLiteral("1,000")) &&
                         read.refusal.contains(QDir::toNativeSeparators(path)),
                     qPrintable(read.refusal));
            QStringList list = {QStringLiteral("前の試合")};
            QCOMPARE(read_game_names(path, list), 0);
            return;
        }
        QVERIFY2(read.refusal.isEmpty(), qPrintable(read.refusal));
        if (QTest::currentDataTag() == QByteArrayLiteral("1,000 names")) {
            QCOMPARE(read.names.size(), 1000);
            QCOMPARE(read.names.last(), QStringLiteral("Game 1000"));
            return;
        }
        QCOMPARE(read.names, names);
        // The warnings name each line the program leaves out.
        const QString warnings = game_names_warnings(read, path).join(QLatin1Char('\n'));
        for (int line : leftOut + unreadable)
            QVERIFY2(warnings.contains(QString::number(line)), qPrintable(warnings));
        QCOMPARE(warnings.isEmpty(), leftOut.isEmpty() && unreadable.isEmpty());
    }

    // 決定 writes the list as the club's old files are, keeps the file it replaces, and reads back the same names.
    void editorRoundTrip() {
        QTemporaryDir dir;
        const AppState state = testfiles::stateIn(dir);
        const QByteArray handMade = QStringLiteral("春の大会\n秋の部内戦\n").toUtf8();
        testfiles::writeBytes(state.gameNamesPath(), handMade);

        const QStringList names = {QStringLiteral("秋の部内戦"), QStringLiteral("関東学生選手権, 秋"),
                                   QStringLiteral("春の大会〜新人戦")};
        ScriptedPrompter prompter;
        QString kept;
        QVERIFY(save_game_names(state, names, &kept, prompter));
        QVERIFY(prompter.messages().isEmpty());
        const QByteArray expected =
            "3\r\n" + sjis(names[0]) + "\r\n\"" + sjis(names[1]) + "\"\r\n" + sjis(names[2]) + "\r\n";
        QCOMPARE(testfiles::readBytes(state.gameNamesPath()), expected);
        QVERIFY(kept.startsWith(backup_folder(state)));
        QCOMPARE(testfiles::readBytes(kept), handMade);

        QStringList again;
        QCOMPARE(read_game_names(state.gameNamesPath(), again), 3);
        // The wave dash an input method types is stored as Windows stores it (U+FF5E), as in every data file.
        QCOMPARE(again, (QStringList{names[0], names[1], cp932::normalized(names[2])}));

        // A list emptied is written as the count 0.
        QVERIFY(save_game_names(state, {}, &kept, prompter));
        QCOMPARE(testfiles::readBytes(state.gameNamesPath()), QByteArray("0\r\n"));
    }

    void refusals_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("replacing");
        QTest::addColumn<QString>("named"); // a part of the refusal; empty: accepted
        QTest::newRow("a new name") << QStringLiteral("冬の大会") << -1 << QString();
        QTest::newRow("empty") << QStringLiteral("  ") << -1 << QStringLiteral("入力");
        QTest::newRow("duplicate") << QStringLiteral("春の大会") << -1 << QStringLiteral("すでに");
        QTest::newRow("itself, when changed") << QStringLiteral("春の大会") << 0 << QString();
        QTest::newRow("another's name, when changed") << QStringLiteral("春の大会") << 1 << QStringLiteral("すでに");
        QTest::newRow("beyond Shift-JIS") << QStringLiteral("𠮷野杯") << -1 << QStringLiteral("U+20BB7");
        QTest::newRow("a double quote") << QStringLiteral("\"杯\"") << -1 << QStringLiteral("\"");
        QTest::newRow("a tab") << QStringLiteral("春\t杯") << -1 << QStringLiteral("試合名");
    }
    void refusals() {
        QFETCH(QString, name);
        QFETCH(int, replacing);
        QFETCH(QString, named);
        const QStringList names = {QStringLiteral("春の大会"), QStringLiteral("秋の部内戦")};
        const QString refusal = game_name_refusal(name, names, replacing);
        QCOMPARE(refusal.isEmpty(), named.isEmpty());
        QVERIFY2(refusal.contains(named), qPrintable(refusal));
    }

    void fullListRefusesAnother() {
        QStringList names;
        for (int i = 0; i < kMaxGameNames; ++i)
            names << QString::number(i);
        QVERIFY(game_name_refusal(QStringLiteral("x"), names, -1).contains(QStringLiteral("1,000")));
        QVERIFY(game_name_refusal(QStringLiteral("x"), names, 5).isEmpty());
    }
};

QTEST_MAIN(TestGameNames)
#include "tst_gamenames.moc"
