#include "testfiles.h"

#include "vocabulary.h"

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

MemberRecord member(const QString& name, const QString& kana, quint8 year, quint8 role) {
    MemberRecord m;
    m.name = name;
    m.kana = kana;
    m.year = year;
    m.role = role;
    return m;
}

CoupleRecord couple(qint32 backNumber, const MemberRecord& leader, const QList<MemberRecord>& partners,
                    const QStringList& dances) {
    CoupleRecord c;
    c.backNumber = backNumber;
    c.leader = leader;
    c.partners = partners;
    c.partnerCount = qint32(partners.size());
    for (qsizetype i = 0; i < partners.size(); ++i)
        c.partnerDances << (i < dances.size() ? dances[i] : QString());
    c.danceFlags = QList<qint32>(8, -1);
    for (const QString& codes : c.partnerDances) {
        for (QChar code : codes) {
            const qint32 d = dance_index(code);
            if (d >= 0)
                c.danceFlags[d] = 0;
        }
    }
    c.yearSum = leader.year + (partners.isEmpty() ? 0 : partners.first().year);
    return c;
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

} // namespace testfiles
