// A new member, a new couple, and the removal of records marked for deletion.

#include "records.h"
#include "testfiles.h"

#include <QTest>

namespace {
QList<MemberRecord> membersNamed(const QStringList& names, const QList<int>& marked) {
    QList<MemberRecord> list;
    for (qsizetype i = 0; i < names.size(); ++i) {
        MemberRecord member = testfiles::member(names[i], names[i], quint8(1 + i % 4), 0);
        member.deleteMark = marked.contains(int(i)) ? 1 : 0;
        list.append(member);
    }
    return list;
}

QStringList namesOf(const QList<MemberRecord>& list) {
    QStringList names;
    for (const MemberRecord& member : list)
        names << member.name;
    return names;
}
} // namespace

class TestRecords : public QObject {
    Q_OBJECT

private slots:
    void newMember();
    void newCouple();

    void removeMarkedMembers_data();
    void removeMarkedMembers();
    void removeMarkedCouples();
};

void TestRecords::newMember() {
    const MemberRecord member = new_member_record();
    QVERIFY(member.name.isEmpty());
    QVERIFY(member.kana.isEmpty());
    QCOMPARE(member.year, quint8(1));
    QVERIFY(member.highschool.isEmpty());
    QVERIFY(member.department.isEmpty());
    QCOMPARE(member.role, quint8(0));
    QCOMPARE(member.deleteMark, quint8(0));
}

void TestRecords::newCouple() {
    UniversityInfo info;
    info.university = QString::fromUtf8("東京大学");
    info.gameName = QString::fromUtf8("春季大会");
    const CoupleRecord couple = new_couple_record(info);

    QCOMPARE(couple.backNumber, 0);
    QCOMPARE(couple.university, info.university);
    QCOMPARE(couple.leader, new_member_record());
    // One all-zero partner (year 0, unlike a new member) and one empty dance text, but no partner counted yet.
    QCOMPARE(couple.partners, QList<MemberRecord>{MemberRecord{}});
    QCOMPARE(couple.partners.first().year, quint8(0));
    QCOMPARE(couple.partnerDances, QStringList{QString()});
    QCOMPARE(couple.partnerCount, 0);
    QCOMPARE(couple.regular, quint8(0));
    QCOMPARE(couple.yearSum, 0);
    QVERIFY(couple.gameName.isEmpty()); // the competition name is stamped in only by the export
    QCOMPARE(couple.section, quint8(0));
    QCOMPARE(couple.danceFlags, QList<qint32>(8, -1));
    QCOMPARE(couple.deleteMark, quint8(0));
}

void TestRecords::removeMarkedMembers_data() {
    QTest::addColumn<QList<MemberRecord>>("list");
    QTest::addColumn<qint32>("count");
    QTest::addColumn<QStringList>("kept");

    const QStringList abcd = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};
    QTest::newRow("nothing marked keeps the order") << membersNamed(abcd, {}) << 4 << abcd;
    QTest::newRow("everything marked") << membersNamed(abcd, {0, 1, 2, 3}) << 4 << QStringList();
    QTest::newRow("first and last marked")
        << membersNamed(abcd, {0, 3}) << 4 << QStringList{QStringLiteral("B"), QStringLiteral("C")};
    QTest::newRow("only the first count elements")
        << membersNamed(abcd, {1}) << 3 << QStringList{QStringLiteral("A"), QStringLiteral("C")};
    QTest::newRow("count 0") << membersNamed(abcd, {}) << 0 << QStringList();
    QTest::newRow("negative count") << membersNamed(abcd, {}) << -1 << QStringList();
    QTest::newRow("count beyond the list")
        << membersNamed(abcd, {2}) << 9 << QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("D")};
    QTest::newRow("empty list") << QList<MemberRecord>() << 0 << QStringList();
}

void TestRecords::removeMarkedMembers() {
    QFETCH(QList<MemberRecord>, list);
    QFETCH(qint32, count);
    QFETCH(QStringList, kept);

    QList<MemberRecord> result = membersNamed({QStringLiteral("stale")}, {});
    QCOMPARE(remove_marked_members(list, count, result), qint32(kept.size()));
    QCOMPARE(namesOf(result), kept);
    // The kept records are whole copies.
    for (const MemberRecord& member : result) {
        const auto original =
            std::find_if(list.cbegin(), list.cend(), [&](const MemberRecord& m) { return m.name == member.name; });
        QCOMPARE(member, *original);
    }
}

void TestRecords::removeMarkedCouples() {
    const MemberRecord leader = testfiles::member(QStringLiteral("L"), QStringLiteral("l"), 3, 0);
    const MemberRecord partner = testfiles::member(QStringLiteral("P"), QStringLiteral("p"), 2, 1);
    QList<CoupleRecord> list;
    for (qint32 number = 1; number <= 5; ++number) {
        CoupleRecord couple = testfiles::couple(number, leader, {partner}, {QStringLiteral("QW")});
        couple.deleteMark = (number == 2 || number == 5) ? 1 : 0;
        list.append(couple);
    }

    QList<CoupleRecord> result;
    QCOMPARE(remove_marked_couples(list, 5, result), 3);
    QCOMPARE(result, (QList<CoupleRecord>{list[0], list[2], list[3]}));

    // Only the first count elements are looked at: the unmarked couple 4 lies beyond a count of 3.
    QCOMPARE(remove_marked_couples(list, 3, result), 2);
    QCOMPARE(result, (QList<CoupleRecord>{list[0], list[2]}));

    for (CoupleRecord& couple : list)
        couple.deleteMark = 1;
    QCOMPARE(remove_marked_couples(list, 5, result), 0);
    QVERIFY(result.isEmpty());
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
