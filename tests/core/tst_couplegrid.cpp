#include "couplegrid.h"
#include "testfiles.h"

#include <QRandomGenerator>
#include <QThread>
#include <QtTest>
#include <numeric>

using testfiles::couple;
using testfiles::member;

namespace {

// The partition steps in their plain recursive form, as a reference for the order of equal keys.
void referenceQuickSort(QList<qint32>& keys, QList<qint32>& positions, qint32 low, qint32 high) {
    if (low >= high)
        return;
    const qint32 pivot = keys[low];
    qint32 i = low;
    qint32 j = high + 1;
    for (;;) {
        do {
            ++i;
        } while (i < keys.size() && keys[i] < pivot);
        do {
            --j;
        } while (keys[j] > pivot);
        if (i >= j)
            break;
        std::swap(keys[i], keys[j]);
        std::swap(positions[i], positions[j]);
    }
    keys[low] = keys[j];
    keys[j] = pivot;
    std::swap(positions[low], positions[j]);
    referenceQuickSort(keys, positions, low, j - 1);
    referenceQuickSort(keys, positions, j + 1, high);
}

// Sorts on a thread with a small stack: a recursion as deep as the list is long would overflow it.
QList<qint32> sortOnSmallStack(QList<qint32>& keys) {
    QList<qint32> positions;
    QThread* thread = QThread::create([&] { sort_positions(keys, positions, qint32(keys.size())); });
    thread->setStackSize(256 * 1024);
    thread->start();
    thread->wait();
    delete thread;
    return positions;
}

MemberRecord leader(const char* name) {
    return member(QString::fromUtf8(name), {}, 2, 0);
}
MemberRecord partner(const char* name) {
    return member(QString::fromUtf8(name), {}, 2, 1);
}

} // namespace

class TestCoupleGrid : public QObject {
    Q_OBJECT
private slots:
    void titles() {
        const QStringList titles = couple_grid_titles();
        QCOMPARE(titles.size(), kGridColumnCount);
        QCOMPARE(titles.mid(0, 3),
                 QStringList({QStringLiteral("背番号"), QStringLiteral("Leader"), QStringLiteral("Partner")}));
        QCOMPARE(titles.mid(3, 8).join(QString()), QStringLiteral("WTFQCSRP"));
        QCOMPARE(titles.mid(11), QStringList({QStringLiteral("Reguler"), QStringLiteral("MorL")}));
    }

    void emptyEntryHasTitleRowOnly() {
        AppState state;
        state.couples = {CoupleRecord{}}; // what deleting the last couple leaves
        QCOMPARE(build_couple_grid_rows(state), CoupleGridRows{CoupleGridRow{couple_grid_titles()}});
    }

    void rowsInBackNumberOrder() {
        AppState state;
        state.couples = {couple(30, leader("L30"), {partner("P30")}), couple(5, leader("L5"), {partner("P5")}),
                         couple(12, leader("L12"), {partner("P12")})};
        state.coupleCount = 3;
        const CoupleGridRows rows = build_couple_grid_rows(state);
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[0].couple, -1);
        QStringList numbers;
        QList<qint32> couples;
        for (qsizetype r = 1; r < rows.size(); ++r) {
            QCOMPARE(rows[r].texts.size(), kGridColumnCount);
            numbers << rows[r].text(kGridColBackNumber);
            couples << rows[r].couple;
            QCOMPARE(rows[r].partner, 0);
        }
        QCOMPARE(numbers, QStringList({QStringLiteral("5"), QStringLiteral("12"), QStringLiteral("30")}));
        QCOMPARE(couples, (QList<qint32>{1, 2, 0}));
        QCOMPARE(rows[1].text(kGridColLeader), QStringLiteral("L5"));
    }

    void threePartnerCoupleTakesThreeRows() {
        AppState state;
        CoupleRecord c = couple(7, leader("L"), {partner("A"), partner("B"), partner("C")},
                                {QStringLiteral("PW"), QString(), QStringLiteral("S")});
        c.regular = 1;
        c.section = 2;
        state.couples = {couple(9, leader("X"), {partner("Y")}), c};
        state.coupleCount = 2;
        const CoupleGridRows rows = build_couple_grid_rows(state);
        QCOMPARE(rows.size(), 5);
        const QString circle = QStringLiteral("○");
        for (int j = 0; j < 3; ++j) {
            const QStringList& row = rows[1 + j].texts;
            QCOMPARE(row[kGridColBackNumber], j == 0 ? QStringLiteral("7") : QString());
            QCOMPARE(row[kGridColLeader], j == 0 ? QStringLiteral("L") : QString());
            QCOMPARE(row[kGridColPartner], QString(QChar(u'A' + j)));
            QCOMPARE(row[kGridColRegular], QStringLiteral("◎"));
            QCOMPARE(row[kGridColSection], QStringLiteral("Rookie"));
            QCOMPARE(rows[1 + j].couple, 1);
            QCOMPARE(rows[1 + j].partner, j);
        }
        QStringList marks;
        for (int j = 0; j < 3; ++j) {
            QString line;
            for (int col = kGridColFirstDance; col <= kGridColLastDance; ++col)
                line += rows[1 + j].text(col) == circle   ? QLatin1Char('o')
                        : rows[1 + j].text(col).isEmpty() ? QLatin1Char('.')
                                                          : QLatin1Char('?');
            marks << line;
        }
        QCOMPARE(marks,
                 QStringList({QStringLiteral("o......o"), QStringLiteral("........"), QStringLiteral(".....o..")}));
        QCOMPARE(rows[4].text(kGridColBackNumber), QStringLiteral("9"));
    }

    void sectionAndRegularTexts() {
        AppState state;
        CoupleRecord c = couple(1, leader("L"), {partner("P")});
        c.section = 1;
        c.regular = 0;
        CoupleRecord gone = couple(2, leader("G"), {partner("H")});
        gone.deleteMark = 1;
        CoupleRecord beyond = couple(3, leader("B"), {partner("B")});
        state.couples = {c, gone, beyond};
        state.coupleCount = 2; // the third element is not valid
        const CoupleGridRows rows = build_couple_grid_rows(state);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[1].text(kGridColSection), QStringLiteral("Latin"));
        QCOMPARE(rows[1].text(kGridColRegular), QString());
    }

    void splitField_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("fromEnd");
        QTest::addColumn<QString>("expected");
        const QString path = QStringLiteral("C:\\data\\A.ent");
        QTest::newRow("last") << path << 1 << true << QStringLiteral("A.ent");
        QTest::newRow("second from end") << path << 2 << true << QStringLiteral("data");
        QTest::newRow("first") << path << 1 << false << QStringLiteral("C:");
        QTest::newRow("beyond") << path << 4 << true << QString();
        QTest::newRow("beyond from start") << path << 4 << false << QString();
        QTest::newRow("zero") << path << 0 << true << QString();
        QTest::newRow("bare name") << QStringLiteral("A.ent") << 1 << true << QStringLiteral("A.ent");
        QTest::newRow("trailing separator") << QStringLiteral("C:\\data\\") << 1 << true << QString();
        QTest::newRow("empty") << QString() << 1 << true << QString();
        QTest::newRow("empty from start") << QString() << 1 << false << QString();
    }
    void splitField() {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(bool, fromEnd);
        QFETCH(QString, expected);
        QCOMPARE(split_field(text, QStringLiteral("\\"), n, fromEnd), expected);
    }

    void caption() {
        AppState state;
        state.coupleCount = 12;
        state.entryFileName = QStringLiteral("A.ent");
        QCOMPARE(entry_caption(state), QStringLiteral("カップル数 : 12   ファイル名 : A.ent"));
        state.coupleCount = 0;
        state.entryFileName.clear();
        QCOMPARE(entry_caption(state), QStringLiteral("カップル数 : 0   ファイル名 : "));
    }

    void sortMatchesReferenceOnSmallInputs() {
        QRandomGenerator random(20240401);
        for (int round = 0; round < 500; ++round) {
            const int count = int(random.bounded(1, 25));
            QList<qint32> keys(count);
            for (qint32& key : keys)
                // Odd rounds: many duplicates, negatives included; even rounds: (almost always) distinct keys.
                key = qint32(round % 2 ? random.bounded(-3, 6) : random.bounded(-1000000, 1000000));
            QList<qint32> expectedKeys = keys;
            QList<qint32> expectedPositions(count);
            std::iota(expectedPositions.begin(), expectedPositions.end(), 0);
            referenceQuickSort(expectedKeys, expectedPositions, 0, count - 1);
            QList<qint32> positions;
            sort_positions(keys, positions, count);
            QCOMPARE(keys, expectedKeys);
            QCOMPARE(positions, expectedPositions);
        }
    }

    void sortLargeInputsWithoutDeepRecursion() {
        const int count = 20000;
        QList<qint32> sorted(count);
        std::iota(sorted.begin(), sorted.end(), 1);
        QList<qint32> keys = sorted;
        QList<qint32> positions = sortOnSmallStack(keys);
        QCOMPARE(keys, sorted);
        QList<qint32> identity(count);
        std::iota(identity.begin(), identity.end(), 0);
        QCOMPARE(positions, identity);

        QList<qint32> equal(count, 42);
        QList<qint32> expectedPositions = identity;
        QList<qint32> expectedKeys = equal;
        referenceQuickSort(expectedKeys, expectedPositions, 0, count - 1); // balanced for equal keys
        positions = sortOnSmallStack(equal);
        QCOMPARE(positions, expectedPositions);

        QList<qint32> descending(sorted.rbegin(), sorted.rend());
        positions = sortOnSmallStack(descending);
        QCOMPARE(descending, sorted);
        QCOMPARE(positions.first(), count - 1);
        QCOMPARE(positions.last(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCoupleGrid)
#include "tst_couplegrid.moc"
