#include "benchsupport.h"

#include "datafiles.h"

#include <QFile>

#include <unistd.h>

#include <cstdio>

QString g_folder;

namespace {
const char* const kFamily[] = {"山田", "鈴木", "佐藤", "高橋", "田中", "伊藤", "渡辺", "中村", "小林", "加藤"};
const char* const kGiven[] = {"花子", "一郎", "美咲", "健太", "由美", "翔", "さくら", "大輔", "愛", "直樹"};
const char* const kKanaFamily[] = {"やまだ", "すずき",   "さとう",   "たかはし", "たなか",
                                   "いとう", "わたなべ", "なかむら", "こばやし", "かとう"};
} // namespace

MemberRecord sampleMember(int i, quint8 role) {
    MemberRecord m;
    m.name = QString::fromUtf8(kFamily[i % 10]) + QString::fromUtf8(kGiven[(i / 10) % 10]);
    m.kana = QString::fromUtf8(kKanaFamily[i % 10]) + QString::number(i);
    m.year = quint8(1 + i % 4);
    m.highschool = QString::fromUtf8("県立第%1高等学校").arg(i % 30);
    m.department = QString::fromUtf8("理工学部");
    m.role = role;
    return m;
}

QList<MemberRecord> sampleRoster(int count) {
    QList<MemberRecord> members;
    for (int i = 0; i < count; ++i)
        members.append(sampleMember(i, quint8(i % 2)));
    return members;
}

QList<CoupleRecord> sampleCouples(int count, int partners, bool allYears) {
    QList<CoupleRecord> couples;
    const QString dances[] = {QStringLiteral("WTFQ"), QStringLiteral("CSRP"), QStringLiteral("WT"),
                              QStringLiteral("S")};
    for (int i = 0; i < count; ++i) {
        CoupleRecord c;
        c.backNumber = 100 + i;
        c.university = QString::fromUtf8("蒼嶺大学");
        c.leader = sampleMember(i, 0);
        for (int p = 0; p < partners; ++p) {
            c.partners.append(sampleMember(i * 7 + p + 1, 1));
            c.partnerDances.append(dances[p % 4]);
        }
        if (!allYears) {
            c.leader.year = quint8(1 + i % 3);
            for (MemberRecord& p : c.partners)
                p.year = quint8(1 + (i + 1) % 3);
        }
        c.partnerCount = partners;
        c.yearSum = c.leader.year + c.partners.first().year;
        c.gameName = QString::fromUtf8("秋の部内戦");
        c.danceFlags = QList<qint32>(8, 0);
        couples.append(c);
    }
    return couples;
}

UniversityInfo sampleUniversity() {
    UniversityInfo info;
    info.university = QString::fromUtf8("蒼嶺大学");
    info.head = QString::fromUtf8("部長");
    info.manager = QString::fromUtf8("マネージャー");
    info.gameName = QString::fromUtf8("秋の部内戦");
    return info;
}

QByteArray encodedRoster(int count) {
    return encode_member_file(sampleRoster(count), count, nullptr);
}

QByteArray encodedEntry(int count) {
    return encode_entry_file(sampleCouples(count, 4, true), count, sampleUniversity(), nullptr);
}

void SilentPrompter::showMessage(const QString& text, Icon) {
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
}

void writeRaw(const QString& path, const QByteArray& bytes, bool sync) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    file.flush();
    if (sync)
        ::fdatasync(file.handle());
}

QByteArray readRaw(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void mustSucceed(bool ok, const QString& error) {
    if (!ok)
        qFatal("%s", error.toUtf8().constData());
}

qint64 peakResident() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return 0;
}

void resetPeakResident() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}
