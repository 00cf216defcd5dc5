// Writes the seed corpora of the fuzz targets: small valid files of each format, made by the program's
// own encoders, so that the fuzzer starts from inputs that decode. Usage: make_seeds <folder>.

#include "cp932.h"
#include "datafiles.h"
#include "recordbuilders.h"
#include "recordcodec.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

bool g_ok = true;

void put(const QString& folder, const QString& name, const QByteArray& bytes) {
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        g_ok = false;
    }
}

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

MemberRecord member(const char* name, const char* kana, quint8 year, quint8 role) {
    return recordbuilders::member(u8(name), u8(kana), year, role);
}

// A couple of the university the seeds use, its flags following its partners' dances.
CoupleRecord couple(qint32 backNumber, const MemberRecord& leader, const QList<MemberRecord>& partners,
                    const QStringList& dances) {
    CoupleRecord c = recordbuilders::couple(backNumber, leader, partners, dances);
    c.university = u8("蒼嶺大学");
    return c;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds <folder>\n");
        return 2;
    }
    if (!cp932::available()) {
        std::fprintf(stderr, "the code page 932 converter (Qt with ICU) is not available\n");
        return 1;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);

    MemberRecord yamada = member("山田", "やまだ", 2, 1);
    MemberRecord suzuki = member("鈴木一郎", "すずきいちろう", 3, 0);
    suzuki.highschool = u8("県立第一高校");
    suzuki.department = u8("理工学部");
    const MemberRecord sato = member("佐藤", "さとう", 1, 1);
    const MemberRecord ito = member("伊藤①", "いとう", 4, 1);
    const MemberRecord kato = member("加藤～", "かとう", 2, 1);

    const QString members = root + QStringLiteral("/member_file");
    put(members, QStringLiteral("empty"), encode_member_file({}, 0, nullptr));
    put(members, QStringLiteral("one"), encode_member_file({yamada}, 1, nullptr));
    put(members, QStringLiteral("three"), encode_member_file({yamada, suzuki, sato}, 3, nullptr));

    UniversityInfo info;
    info.university = u8("蒼嶺大学");
    info.partnerSchool = u8("青葉短期大学");
    info.head = u8("部長");
    info.manager = u8("マネージャー");
    info.leagueMember = u8("委員");
    info.comment = u8("一行目\r\n二行目");
    info.gameName = u8("秋の部内戦");

    const QString entries = root + QStringLiteral("/entry_file");
    put(entries, QStringLiteral("no_couples"), encode_entry_file({}, 0, info, nullptr));
    put(entries, QStringLiteral("one_couple"),
        encode_entry_file({couple(101, suzuki, {yamada}, {QStringLiteral("WT")})}, 1, UniversityInfo{}, nullptr));
    CoupleRecord four = couple(7, suzuki, {yamada, sato, ito, kato},
                               {QStringLiteral("WTFQ"), QStringLiteral("CSRP"), QString(), QStringLiteral("W")});
    four.regular = 1;
    four.section = 2;
    four.gameName = info.gameName;
    put(entries, QStringLiteral("two_couples"),
        encode_entry_file({couple(12, suzuki, {yamada, sato}, {QStringLiteral("CS"), QStringLiteral("T")}), four}, 2,
                          info, nullptr));
    QDir().mkpath(root + QStringLiteral("/entry_couples"));
    for (const QString& name : QDir(entries).entryList(QDir::Files))
        QFile::copy(entries + QLatin1Char('/') + name, root + QStringLiteral("/entry_couples/") + name);

    const QString universities = root + QStringLiteral("/university_file");
    RecordWriter empty;
    empty.writeUniversity(UniversityInfo{});
    put(universities, QStringLiteral("empty"), empty.data());
    RecordWriter full;
    full.writeUniversity(info);
    put(universities, QStringLiteral("full"), full.data());

    const QString games = root + QStringLiteral("/game_names");
    QByteArray sjis;
    cp932::encode(u8("3\r\n春季大会\r\n\"秋の部内戦, 二日目\"\r\n  新人戦\r\n余り\r\n"), &sjis);
    put(games, QStringLiteral("lines"), sjis);
    put(games, QStringLiteral("commas"), "2,\"a,b\",c,d\r\n");
    put(games, QStringLiteral("zero"), "0\r\nnone\r\n");
    put(games, QStringLiteral("utf8"), "\xEF\xBB\xBF" + u8("2\r\n冬\r\nab\"c\r\n").toUtf8());
    put(games, QStringLiteral("short"), "5\r\nonly\r\n");
    return g_ok ? 0 : 1;
}
