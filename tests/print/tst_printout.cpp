// The printed lists: what they hold, and the pages the renderer makes of them, read back from the PDF with
// poppler's tools.

#include "pdfoutput.h"
#include "printout.h"
#include "testfiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using testfiles::member;

namespace {

const QDate kDate(2026, 3, 14);

// The text without any blank or line break: a name wrapped over two lines reads as one again.
QString squeezed(const QString& text) {
    return QString(text).remove(QRegularExpression(QStringLiteral("\\s")));
}

MemberRecord leader(const QString& name, const QString& kana) {
    return member(name, kana, 2, 0);
}
MemberRecord partner(const QString& name, const QString& kana) {
    return member(name, kana, 1, 1);
}

// Three couples stored as 30, 5, 12, a deleted one, and the university information without stamps in the couples.
AppState smallEntry() {
    AppState state;
    CoupleRecord c30 = testfiles::couple(30, leader(QStringLiteral("山田太郎"), QStringLiteral("やまだたろう")),
                                         {partner(QStringLiteral("佐藤花子"), QStringLiteral("さとうはなこ"))},
                                         {QStringLiteral("QW")});
    c30.regular = 1;
    CoupleRecord c5 = testfiles::couple(5, leader(QStringLiteral("田中一郎"), QStringLiteral("たなかいちろう")),
                                        {partner(QStringLiteral("鈴木陽菜"), QStringLiteral("すずきひな")),
                                         partner(QStringLiteral("高橋結衣"), QStringLiteral("たかはしゆい"))},
                                        {QStringLiteral("CS"), QStringLiteral("RPC")});
    c5.section = 1;
    CoupleRecord c12 = testfiles::couple(12, leader(QStringLiteral("伊藤翔"), QStringLiteral("いとうしょう")),
                                         {partner(QStringLiteral("渡辺美咲"), QStringLiteral("わたなべみさき"))},
                                         {QStringLiteral("W")});
    c12.section = 2;
    CoupleRecord gone = testfiles::couple(99, leader(QStringLiteral("消去済"), QString()),
                                          {partner(QStringLiteral("消去済P"), QString())}, {QStringLiteral("T")});
    gone.deleteMark = 1;
    state.couples = {c30, c5, gone, c12};
    state.coupleCount = 4;
    state.universityInfo.university = QStringLiteral("蒼嶺大学");
    state.universityInfo.gameName = QStringLiteral("春の大会");
    return state;
}

AppState smallRoster() {
    AppState state;
    state.members = {member(QStringLiteral("山田太郎"), QStringLiteral("やまだたろう"), 3, 0),
                     member(QStringLiteral("佐藤花子"), QStringLiteral("さとうはなこ"), 2, 1),
                     member(QStringLiteral("阿部"), QStringLiteral("あべ"), 1, 0)};
    state.members[0].department = QStringLiteral("理工学部");
    state.members[1].highschool = QStringLiteral("県立北高");
    state.memberCount = 3;
    state.universityInfo.university = QStringLiteral("蒼嶺大学");
    return state;
}

} // namespace

class TestPrintout : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writePdf(const QString& name, const QList<PrintDocument>& documents) {
        const QString path = m_dir.filePath(name);
        QString error;
        if (!write_pdf_file(path, documents, QStringLiteral("test"), &error))
            qWarning("%s", qPrintable(error));
        return path;
    }

private slots:
    // What the pages read back leave out: the couple's own cells stand once over all its rows, the dances are each
    // partner's, and the names the export stamped into the couples come before the university information.
    void entryListFollowsTheGrid() {
        const PrintBlock five = entry_print_document(smallEntry(), QStringLiteral("a.ent"), kDate).blocks.first();
        QCOMPARE(five.rows.size(), 2);
        QCOMPARE(five.rows[0].last().text, QStringLiteral("Latin"));
        QVERIFY(five.rows[1][0].text.isEmpty() && five.rows[1][1].text.isEmpty() && five.rows[1].last().text.isEmpty());
        QCOMPARE(five.rows[1][3 + 7].text, QStringLiteral("○")); // P

        AppState stamped = smallEntry();
        for (CoupleRecord& couple : stamped.couples) {
            couple.university = QStringLiteral("旧大学名");
            couple.gameName = QStringLiteral("秋の大会");
        }
        const PrintDocument exported = entry_print_document(stamped, QStringLiteral("x.ent"), kDate);
        QCOMPARE(exported.heading.mid(0, 2),
                 (QStringList{QStringLiteral("大学名 : 旧大学名"), QStringLiteral("試合名 : 秋の大会")}));
        QCOMPARE(exported.blocks.last().rows[0][11].text, QStringLiteral("◎"));
    }

    // The roster in the order given (a position naming no member skipped), a line break shown as blanks.
    void rosterInTheGivenOrder() {
        AppState state = smallRoster();
        state.members[2].name = QStringLiteral("阿部\r\n次郎"); // a line break only a damaged file holds
        QStringList names;
        for (const PrintBlock& block : roster_print_document(state, {2, 0, 7, 1}, kDate).blocks)
            names << block.rows[0][0].text;
        QCOMPARE(names,
                 (QStringList{QStringLiteral("阿部  次郎"), QStringLiteral("山田太郎"), QStringLiteral("佐藤花子")}));
    }

    void pdfNames_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("pdf");
        QTest::newRow("entry") << QStringLiteral("蒼嶺大学_春.ent") << QStringLiteral("蒼嶺大学_春.pdf");
        QTest::newRow("upper case") << QStringLiteral("A.ENT") << QStringLiteral("A.pdf");
        QTest::newRow("other ending") << QStringLiteral("A.dat") << QStringLiteral("A.dat.pdf");
        QTest::newRow("roster") << QString() << QStringLiteral("メンバー一覧.pdf");
    }
    void pdfNames() {
        QFETCH(QString, entry);
        QFETCH(QString, pdf);
        QCOMPARE(pdf_file_name(entry), pdf);
    }

    // Every text of a small list is on its page in order, in the Japanese font embedded, on A4 portrait.
    void pagesReadBack_data() {
        QTest::addColumn<bool>("entry");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("entry list") << true
                                    << QStringList{QStringLiteral("エントリー一覧"),
                                                   QStringLiteral("大学名:蒼嶺大学"),
                                                   QStringLiteral("試合名:春の大会"),
                                                   QStringLiteral("ファイル名:蒼嶺大学_春.ent"),
                                                   QStringLiteral("印刷日:2026年3月14日"),
                                                   QStringLiteral("背番号リーダーパートナーWTFQCSRPRegulerMorL"),
                                                   QStringLiteral("5田中一郎たなかいちろう鈴木陽菜すずきひな"),
                                                   QStringLiteral("高橋結衣たかはしゆい"),
                                                   QStringLiteral("12伊藤翔いとうしょう渡辺美咲わたなべみさき"),
                                                   QStringLiteral("30山田太郎やまだたろう佐藤花子さとうはなこ"),
                                                   QStringLiteral("種目ごとのカップル数20011111"),
                                                   QStringLiteral("カップル数:3"),
                                                   QStringLiteral("1/1")};
        QTest::newRow("roster") << false
                                << QStringList{QStringLiteral("メンバー一覧"),
                                               QStringLiteral("大学名:蒼嶺大学"),
                                               QStringLiteral("名前かな回生学部出身高校役割"),
                                               QStringLiteral("山田太郎やまだたろう3理工学部leader"),
                                               QStringLiteral("佐藤花子さとうはなこ2県立北高partner"),
                                               QStringLiteral("阿部あべ1leader"),
                                               QStringLiteral("メンバー数:3人"),
                                               QStringLiteral("1/1")};
    }
    void pagesReadBack() {
        QFETCH(bool, entry);
        QFETCH(QStringList, expected);
        const PrintDocument document =
            entry ? entry_print_document(smallEntry(), QStringLiteral("蒼嶺大学_春.ent"), kDate)
                  : roster_print_document(smallRoster(), stored_member_order(smallRoster()), kDate);
        const QString path = writePdf(QStringLiteral("small.pdf"), {document});
        const QString text = testfiles::pdfText(path);
        if (text.isNull())
            QSKIP("pdftotext is not installed (poppler-utils)");
        const QString all = squeezed(text);
        qsizetype at = 0;
        for (const QString& fragment : expected) {
            at = all.indexOf(fragment, at);
            QVERIFY2(at >= 0, qPrintable(fragment + QStringLiteral(" in ") + text));
        }
        QVERIFY(!all.contains(QStringLiteral("消去済")));

        const QString info = testfiles::popplerOutput(QStringLiteral("pdfinfo"), {path});
        QVERIFY2(info.contains(QStringLiteral("595 x 842 pts (A4)")), qPrintable(info));
        const QStringList fonts =
            testfiles::popplerOutput(QStringLiteral("pdffonts"), {path}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(fonts.size() >= 3, qPrintable(fonts.join(QLatin1Char('\n'))));
        for (const QString& line : fonts.mid(2)) {
            // name type encoding emb sub uni object generation: every font is embedded.
            const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            QCOMPARE(fields.value(fields.size() - 5), QStringLiteral("yes"));
        }
        QVERIFY2(fonts.mid(2).join(QString()).contains(QStringLiteral("IPA")), qPrintable(fonts.join(u'\n')));
    }

    // 120 couples of one to four partners, some with names that wrap: several pages, each with the title row and
    // its "n / m", and every couple whole on one page.
    void manyCouplesKeepTogether() {
        AppState state;
        const auto name = [](const QString& prefix, int i, const QString& suffix = {}) {
            return prefix + QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')) + suffix;
        };
        const QString longName = QStringLiteral("勅使河原アレクサンドラ＝エリザベート美千代");
        for (int i = 0; i < 120; ++i) {
            QList<MemberRecord> partners;
            QStringList dances;
            for (int p = 0; p < 1 + i % 4; ++p) {
                partners << partner(name(QStringLiteral("パートナー"), i, QChar(u'a' + p)), QStringLiteral("かな"));
                dances << QStringLiteral("WTFQCSRP").mid(p, 2);
            }
            const QString leaderName = name(QStringLiteral("リーダー"), i) + (i % 10 == 0 ? longName : QString());
            state.couples << testfiles::couple(i + 1, leader(leaderName, QStringLiteral("かな")), partners, dances);
        }
        state.coupleCount = 120;
        const QString path =
            writePdf(QStringLiteral("many.pdf"), {entry_print_document(state, QStringLiteral("m.ent"), kDate)});
        const QString info = testfiles::popplerOutput(QStringLiteral("pdfinfo"), {path});
        if (info.isNull() || testfiles::pdfText(path).isNull())
            QSKIP("pdftotext or pdfinfo is not installed (poppler-utils)");
        const int pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
        QVERIFY2(pages >= 3, qPrintable(info));

        QList<int> pageOfCouple(120, 0);
        for (int page = 1; page <= pages; ++page) {
            const QString text = squeezed(testfiles::pdfText(path, page));
            QVERIFY2(text.contains(QStringLiteral("背番号リーダーパートナーWTFQCSRPRegulerMorL")), qPrintable(text));
            QVERIFY(text.endsWith(QStringLiteral("%1/%2").arg(page).arg(pages)));
            for (int i = 0; i < 120; ++i) {
                if (!text.contains(name(QStringLiteral("リーダー"), i)))
                    continue;
                QCOMPARE(pageOfCouple[i], 0);
                pageOfCouple[i] = page;
                if (i % 10 == 0)
                    QVERIFY2(text.contains(name(QStringLiteral("リーダー"), i) + longName), qPrintable(text));
                for (int p = 0; p < 1 + i % 4; ++p)
                    QVERIFY2(text.contains(name(QStringLiteral("パートナー"), i, QChar(u'a' + p))),
                             qPrintable(QStringLiteral("couple %1 split at page %2").arg(i).arg(page)));
            }
        }
        QVERIFY(!pageOfCouple.contains(0));
        QVERIFY(std::is_sorted(pageOfCouple.begin(), pageOfCouple.end()));
        QVERIFY(squeezed(testfiles::pdfText(path, pages)).contains(QStringLiteral("種目ごとのカップル数")));
    }

    // A text longer than its column wraps, one longer than a page goes on over the next pages; every character
    // is still printed.
    void overlongTextsStayWhole() {
        AppState state = smallEntry();
        const QString wraps = QStringLiteral("長い名前").repeated(12);
        const QString pages = QStringLiteral("とても長い名前の一部").repeated(900);
        state.couples[0].leader.name = wraps;
        state.couples[3].partners[0].name = pages;
        const QString path =
            writePdf(QStringLiteral("long.pdf"), {entry_print_document(state, QStringLiteral("l.ent"), kDate)});
        const QString text = testfiles::pdfText(path);
        if (text.isNull())
            QSKIP("pdftotext is not installed (poppler-utils)");
        const QString all = squeezed(text);
        QVERIFY(all.contains(wraps));
        // One 部 in each of the 900 pieces: none lost where a page ends, none printed twice.
        QCOMPARE(all.count(QStringLiteral("部")), 900);
        QVERIFY(all.contains(QStringLiteral("種目ごとのカップル数")));
    }
};

QTEST_MAIN(TestPrintout)
#include "tst_printout.moc"
