#pragma once

#include "records.h"

#include <QString>
#include <QStringList>

#include <array>

// The six columns of a member, defined once for every place that shows or writes members: the member list, the
// member import's preview, the printed roster, the tool's `show` and the roster table (`csv member.dat`), which
// the member import reads back by these titles.

enum MemberColumn : qsizetype {
    kMemberColName,
    kMemberColKana,
    kMemberColYear,
    kMemberColDepartment,
    kMemberColHighschool,
    kMemberColRole,
    kMemberColumnCount
};

struct MemberColumnSpec {
    const char16_t* title; // 名前, かな, 回生, 学部, 出身高校, 役割
    // Short texts (the year's digit, the role's word): centred on paper. Every column is left-aligned on screen.
    bool centred;
    // Free texts (names, kana, faculty, school): on paper they shrink and then wrap and share the page width by
    // `printWeight`; short texts are as wide as their widest text. On screen every column is at least
    // kMemberColumnTwips wide and grows to its longest text; the import preview stops a free text at
    // kMemberPreviewCharacters full-width characters and shows the rest in its tooltip.
    bool freeText;
    int printWeight;
};

inline constexpr std::array<MemberColumnSpec, kMemberColumnCount> kMemberColumns = {{
    {u"名前", false, true, 3},
    {u"かな", false, true, 3},
    {u"回生", true, false, 1},
    {u"学部", false, true, 2},
    {u"出身高校", false, true, 2},
    {u"役割", true, false, 1},
}};

// The designed width of a member list column, in twips.
inline constexpr int kMemberColumnTwips = 1440;
// The widest a member column of the import preview grows, in full-width characters.
inline constexpr int kMemberPreviewCharacters = 16;

// "名前" for kMemberColName, and so on.
QString member_column_title(qsizetype column);
// The six titles in column order.
QStringList member_column_titles();
// What a member shows in `column`, as stored: the texts as they are, the year in digits, the role as role_text
// ("leader", "partner"). Each place makes it fit its medium (one line, a length limit) itself.
QString member_column_text(const MemberRecord& member, qsizetype column);
// The six texts of a member in column order.
QStringList member_column_texts(const MemberRecord& member);
