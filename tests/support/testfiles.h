#pragma once

#include "recordbuilders.h"
#include "records.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Helpers shared by the tests: sample records, an application folder in a temporary directory, and
// hex dumps for byte-exact comparisons.
namespace testfiles {

QByteArray fromHex(const char* hex); // "04 00 8E 52" -> bytes
QString toHex(const QByteArray& bytes);

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

using recordbuilders::couple;
using recordbuilders::member;

// An AppState whose appFolder is `dir` (with the trailing separator).
AppState stateIn(const QTemporaryDir& dir);

// What a poppler tool (pdftotext, pdffonts, pdfinfo) prints for `arguments`, or a null text when it is not
// installed; tests then skip.
QString popplerOutput(const QString& program, const QStringList& arguments);
// The text of the PDF at `path` as pdftotext reads it in the order it was painted: page `page` only, or every
// page for 0.
QString pdfText(const QString& path, int page = 0);
// The largest files the readers take: kMaxMembers members, or kMaxCouples couples of four partners followed by
// the longest university information, every text distinct and as long as the size bound allows on average
// (half-width characters, which take the most memory once read).
QByteArray largestMemberFile();
QByteArray largestEntryFile();

} // namespace testfiles
