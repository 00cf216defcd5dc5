#pragma once

#include "records.h"

#include <QByteArray>
#include <QList>
#include <QString>

// One line per member in the given display order (member positions): name, kana, year, department,
// high school joined by commas, CR LF after every line, in code page 932. Fails on text the code page
// cannot store.
QByteArray member_text_bytes(const AppState& state, const QList<qint32>& order, QString* error);
bool write_member_text(const QString& path, const AppState& state, const QList<qint32>& order, QString* error);
