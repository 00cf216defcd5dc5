#pragma once

#include "prompter.h"
#include "records.h"

#include <QList>

class QTreeWidget;

// The member positions of the rows of the member list, from the top row down, `memberCount` entries;
// a row whose position cannot be read leaves its entry at 0.
QList<qint32> collect_display_order(const QTreeWidget& list, qint32 memberCount);

// "メンバーテキスト出力": asks for a file and writes the roster as text, one line per member, in the order
// the member list shows them. Returns true when the file was written.
bool run_member_text_export(const AppState& state, Prompter& prompter, const QTreeWidget& list);
