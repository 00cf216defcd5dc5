#pragma once

// Files and helpers shared by the tool's tests.

#include "datafiles.h"
#include "testfiles.h"
#include "tool.h"

#include <QBuffer>
#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>

namespace toolfixture {

struct ToolRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
    QString outText() const { return QString::fromUtf8(out); }
    QString errText() const { return QString::fromUtf8(err); }
};

// Runs the commands in this process.
inline ToolRun runTool(const QStringList& arguments) {
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    ToolRun run;
    run.status = run_tool(arguments, out, err);
    run.out = out.data();
    run.err = err.data();
    return run;
}

inline UniversityInfo university(const QString& name, const QString& game) {
    UniversityInfo info;
    info.university = name;
    info.head = QStringLiteral("部長先生");
    info.comment = QStringLiteral("一行目\r\n二行目");
    info.gameName = game;
    return info;
}

// Writes an entry file as the program does; the couples carry the university and competition, as after export.
inline void writeEntry(const QString& path, QList<CoupleRecord> couples, const UniversityInfo& info) {
    AppState state;
    for (CoupleRecord& c : couples) {
        c.university = info.university;
        c.gameName = info.gameName;
    }
    state.couples = couples;
    state.coupleCount = qint32(couples.size());
    state.universityInfo = info;
    QString error;
    QVERIFY2(write_entry_file(path, state, &error), qPrintable(error));
}

inline MemberRecord leader(const QString& name, const QString& kana, quint8 year) {
    return testfiles::member(name, kana, year, 0);
}
inline MemberRecord partner(const QString& name, const QString& kana, quint8 year) {
    return testfiles::member(name, kana, year, 1);
}

// Parses RFC 4180 text strictly: records end in CR LF (the last one too), a bare CR or LF outside quotes
// is an error, as is a quote inside an unquoted field. Returns false on any deviation.
inline bool parseCsv(const QString& text, QList<QStringList>& records) {
    records.clear();
    QStringList record;
    QString field;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        if (text[i] == u'"') {
            ++i;
            for (;;) {
                if (i >= n)
                    return false; // unterminated
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            while (i < n && text[i] != u',' && text[i] != u'\r' && text[i] != u'\n') {
                if (text[i] == u'"')
                    return false;
                field += text[i++];
            }
        }
        if (i < n && text[i] == u',') {
            record << field;
            field.clear();
            ++i;
            continue;
        }
        if (i + 1 < n && text[i] == u'\r' && text[i + 1] == u'\n') {
            record << field;
            records << record;
            record.clear();
            field.clear();
            i += 2;
            continue;
        }
        return false; // a bare line end, text after a closing quote, or no CR LF at the end
    }
    return record.isEmpty() && field.isEmpty();
}

} // namespace toolfixture
