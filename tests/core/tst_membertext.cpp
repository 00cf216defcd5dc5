#include "membertext.h"
#include "testfiles.h"

#include <QtTest>

using testfiles::member;

class TestMemberText : public QObject {
    Q_OBJECT
private slots:
    void linesInDisplayOrder() {
        AppState state;
        MemberRecord full = member(QStringLiteral("山田"), QStringLiteral("やまだ"), 3, 0);
        full.department = QStringLiteral("工学部");
        full.highschool = QStringLiteral("北高");
        MemberRecord bare = member(QStringLiteral("Bob"), QString(), 3, 1);
        MemberRecord raw = member(QStringLiteral("a,\"b"), QStringLiteral("x"), 1, 0);
        state.members = {full, bare, raw};
        state.memberCount = 3;

        QString error;
        const QByteArray bytes = member_text_bytes(state, {1, 2, 0}, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        // 山田 やまだ 工学部 北高 in code page 932: two bytes per character.
        const QByteArray expected = QByteArray("Bob,,3,,\r\n") + "a,\"b,x,1,,\r\n" +
                                    testfiles::fromHex("8E 52 93 63 2C 82 E2 82 DC 82 BE 2C 33 2C 8D 48 8A 77 95 94 "
                                                       "2C 96 6B 8D 82 0D 0A");
        QCOMPARE(testfiles::toHex(bytes), testfiles::toHex(expected));
        QCOMPARE(bytes.count("\r\n"), 3);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("members")); // no extension added
        QVERIFY(write_member_text(path, state, {1, 2, 0}, &error));
        QCOMPARE(testfiles::readBytes(path), expected);
    }

    void unencodableTextFails() {
        AppState state;
        state.members = {member(QStringLiteral("𠮷田"), QString(), 1, 0)};
        state.memberCount = 1;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.txt"));
        QString error;
        QVERIFY(!write_member_text(path, state, {0}, &error));
        QVERIFY(error.contains(QStringLiteral("out.txt")));
        QVERIFY(!QFile::exists(path));
        QVERIFY(!write_member_text(dir.filePath(QStringLiteral("no/such/folder.txt")), AppState{}, {}, &error));
    }
};

QTEST_GUILESS_MAIN(TestMemberText)
#include "tst_membertext.moc"
