#include "testfiles.h"

#include "datafiles.h"
#include "recordcodec.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace testfiles {

QByteArray fromHex(const char* hex) {
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

QString toHex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

AppState stateIn(const QTemporaryDir& dir) {
    AppState state;
    state.appFolder = QDir(dir.path()).absolutePath() + QLatin1Char('/');
    return state;
}

QString popplerOutput(const QString& program, const QStringList& arguments) {
    const QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        return {};
    QProcess process;
    process.start(executable, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral(""); // installed but failed: an empty, not a null text
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfText(const QString& path, int page) {
    // In the order the pages were painted: a cell's lines stay together, whatever the columns beside them hold.
    QStringList arguments = {QStringLiteral("-raw"), QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    return popplerOutput(QStringLiteral("pdftotext"), arguments << path << QStringLiteral("-"));
}

namespace {

// A text of the average room's bytes, distinct for each `n`.
QString roomText(qint64 n) {
    const QString number = QString::number(n);
    return number + QString(int(kTextRoom - 2) - int(number.size()), QLatin1Char('m'));
}

MemberRecord roomMember(qint64& n, quint8 role) {
    MemberRecord m = member(roomText(n), roomText(n + 1), quint8(1 + n % 4), role);
    m.highschool = roomText(n + 2);
    m.department = roomText(n + 3);
    n += 4;
    return m;
}

} // namespace

QByteArray largestMemberFile() {
    RecordWriter writer;
    writer.reserve(kMaxMemberFileSize);
    writer.writeLong(kMaxMembers);
    qint64 n = 0;
    for (qint32 i = 0; i < kMaxMembers; ++i)
        writer.writeMember(roomMember(n, quint8(i % 2)));
    return writer.data();
}

QByteArray largestEntryFile() {
    RecordWriter writer;
    writer.reserve(kMaxEntryFileSize);
    writer.writeLong(kMaxCouples);
    qint64 n = 0;
    for (qint32 i = 0; i < kMaxCouples; ++i) {
        QList<MemberRecord> partners;
        for (int p = 0; p < 4; ++p)
            partners << roomMember(n, 1);
        CoupleRecord c = couple(i + 1, roomMember(n, 0), partners);
        for (QString& dances : c.partnerDances)
            dances = roomText(n++);
        c.university = roomText(n++);
        c.gameName = roomText(n++);
        writer.writeLong(c.partnerCount);
        writer.writeCouple(c);
    }
    const QString longest(0xFFFF, QLatin1Char('u'));
    writer.writeUniversity({longest, longest, longest, longest, longest, longest, longest});
    return writer.data();
}

} // namespace testfiles
