#include "memberimport.h"

#include "cp932.h"
#include "csvtable.h"
#include "datafiles.h"
#include "failure.h"
#include "savefile.h"
#include "textcheck.h"
#include "vocabulary.h"

#include <QDir>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <array>
#include <utility>

namespace {

using Key = std::pair<QString, QString>; // name and kana: what makes two rows the same member

struct HeaderName {
    const char16_t* text;
    qsizetype column;
};

// The other names a spreadsheet may give a column besides its title (kMemberColumns), which the roster table writes.
constexpr std::array<HeaderName, 5> kHeaderAliases = {{
    {u"氏名", kMemberColName},
    {u"ふりがな", kMemberColKana},
    {u"フリガナ", kMemberColKana},
    {u"学年", kMemberColYear},
    {u"高校", kMemberColHighschool},
}};

// The member column a header names, or -1.
qsizetype headerColumn(QStringView header) {
    for (qsizetype column = 0; column < kMemberColumnCount; ++column) {
        if (header == QStringView(kMemberColumns[size_t(column)].title))
            return column;
    }
    for (const HeaderName& alias : kHeaderAliases) {
        if (header == QStringView(alias.text))
            return alias.column;
    }
    return -1;
}

using ColumnSources = std::array<qsizetype, kMemberColumnCount>; // table column of each member column, or -1

// Columns by header when the first row names the name column; otherwise the order of the member text export.
bool headerColumns(const QStringList& firstRow, ColumnSources& sources) {
    sources.fill(-1);
    for (qsizetype i = 0; i < firstRow.size(); ++i) {
        const qsizetype column = headerColumn(csv_trimmed(firstRow[i]));
        if (column >= 0 && sources[size_t(column)] < 0)
            sources[size_t(column)] = i;
    }
    if (sources[kMemberColName] >= 0)
        return true;
    for (qsizetype c = 0; c < kMemberColumnCount; ++c)
        sources[size_t(c)] = c;
    return false;
}

// Full-width digits and letters and half-width katakana become their usual forms.
QString folded(const QString& cell) {
    return csv_trimmed(cell).toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
}

// 1 to 4, optionally followed by 回生 or 年; 0 for anything else.
quint8 parseYear(const QString& cell) {
    QString text = folded(cell);
    if (text.endsWith(u"回生"))
        text.chop(2);
    else if (text.endsWith(u'年'))
        text.chop(1);
    text = csv_trimmed(text).toString();
    if (text.size() != 1 || text[0] < u'1' || text[0] > u'4')
        return 0;
    return quint8(text[0].unicode() - u'0');
}

// 0 leader, 1 partner, -1 unknown.
int parseRole(const QString& cell) {
    const QString text = folded(cell);
    if (text == u"leader" || text == u"l" || text == u"リーダー")
        return 0;
    if (text == u"partner" || text == u"p" || text == u"パートナー")
        return 1;
    return -1;
}

bool isAscii(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

// The four texts of a member with the labels of their columns, in the order of the preview.
std::array<std::pair<const char16_t*, const QString*>, 4> labelledTexts(const MemberRecord& m) {
    return {{{kMemberColumns[kMemberColName].title, &m.name},
             {kMemberColumns[kMemberColKana].title, &m.kana},
             {kMemberColumns[kMemberColDepartment].title, &m.department},
             {kMemberColumns[kMemberColHighschool].title, &m.highschool}}};
}

// 「名前」に改行 for the first text that holds a control character; empty when none does.
QString controlCharacterText(const MemberRecord& m) {
    for (const auto& [label, text] : labelledTexts(m)) {
        const qsizetype at = first_control_character(*text);
        if (at >= 0)
            return QStringLiteral("「%1」に%2").arg(QStringView(label), control_character_text(text->at(at)));
    }
    return {};
}

// 「名前」が長すぎる（70,000文字、最大64文字） for the first text beyond the bound; empty when none is.
QString tooLongText(const MemberRecord& m) {
    for (const auto& [label, text] : labelledTexts(m)) {
        if (text->size() > kMaxImportedTextLength)
            return QStringLiteral("「%1」が長すぎる（%2文字、最大%3文字）")
                .arg(QStringView(label), QLocale(QLocale::Japanese).toString(text->size()))
                .arg(kMaxImportedTextLength);
    }
    return {};
}

// 「名前」に保存できない文字「𠮷」(U+20BB7) for the first text of the member that code page 932 cannot store.
QString unencodableText(const MemberRecord& m) {
    // One conversion per row; only a row that fails is searched field by field.
    const QString all = m.name + m.kana + m.department + m.highschool;
    if (isAscii(all) || cp932::encode(all, nullptr))
        return {};
    for (const auto& [label, text] : labelledTexts(m)) {
        const QString bad = cp932::firstUnencodable(*text);
        if (bad.isEmpty())
            continue;
        return QStringLiteral("「%1」に保存できない文字%2").arg(QStringView(label), cp932::describe(bad));
    }
    return QStringLiteral("保存できない文字");
}

ImportCandidate candidateOf(const QStringList& row, const ColumnSources& sources) {
    ImportCandidate c;
    // A text the program's own table guarded against spreadsheet formulas comes back as it was.
    for (qsizetype column = 0; column < kMemberColumnCount; ++column)
        c.cells << without_formula_guard(row.value(sources[size_t(column)]));
    // Texts are held as they will be stored, so that the roster and duplicate checks see the saved form.
    c.member.name = cp932::normalized(c.cells[kMemberColName]);
    c.member.kana = cp932::normalized(c.cells[kMemberColKana]);
    c.member.department = cp932::normalized(c.cells[kMemberColDepartment]);
    c.member.highschool = cp932::normalized(c.cells[kMemberColHighschool]);
    c.member.year = parseYear(c.cells[kMemberColYear]);
    c.roleGiven = !csv_trimmed(c.cells[kMemberColRole]).isEmpty();
    const int role = c.roleGiven ? parseRole(c.cells[kMemberColRole]) : 0;
    c.member.role = quint8(std::max(role, 0));

    if (csv_trimmed(c.member.name).isEmpty()) {
        c.status = ImportStatus::NameMissing;
        c.statusText = QStringLiteral("名前なし");
    } else if (c.member.year == 0) {
        c.status = ImportStatus::YearInvalid;
        c.statusText = QStringLiteral("回生が1～4でない");
    } else if (role < 0) {
        c.status = ImportStatus::RoleUnknown;
        c.statusText = QStringLiteral("役割が不明");
    } else if (const QString control = controlCharacterText(c.member); !control.isEmpty()) {
        c.status = ImportStatus::ControlCharacter;
        c.statusText = control;
    } else if (const QString tooLong = tooLongText(c.member); !tooLong.isEmpty()) {
        c.status = ImportStatus::TooLong;
        c.statusText = tooLong;
    } else if (const QString bad = unencodableText(c.member); !bad.isEmpty()) {
        c.status = ImportStatus::Unencodable;
        c.statusText = bad;
    } else {
        c.statusText = QStringLiteral("取り込み");
    }
    return c;
}

} // namespace

QList<ImportCandidate> member_candidates(const QList<QStringList>& table, const AppState& state) {
    QList<ImportCandidate> candidates;
    if (table.isEmpty())
        return candidates;
    ColumnSources sources;
    const bool hasHeader = headerColumns(table.first(), sources);

    QSet<Key> roster;
    roster.reserve(qsizetype(state.roster().size()));
    for (const MemberRecord& member : state.roster())
        roster.insert({cp932::normalized(member.name), cp932::normalized(member.kana)});

    // Each importable row takes a place; rows beyond the roster's bound stay out.
    const qsizetype rosterSize = qsizetype(state.roster().size());
    QSet<Key> seen;
    seen.reserve(table.size());
    candidates.reserve(table.size());
    for (qsizetype r = hasHeader ? 1 : 0; r < table.size(); ++r) {
        ImportCandidate c = candidateOf(table[r], sources);
        if (c.importable()) {
            const Key key{c.member.name, c.member.kana};
            if (roster.contains(key)) {
                c.status = ImportStatus::InRoster;
                c.statusText = QStringLiteral("登録済み");
            } else if (seen.contains(key)) {
                c.status = ImportStatus::RepeatedInFile;
                c.statusText = QStringLiteral("ファイル内で重複");
            } else if (rosterSize + seen.size() >= kMaxMembers) {
                c.status = ImportStatus::RosterFull;
                c.statusText =
                    QStringLiteral("メンバーが%1人を超える").arg(QLocale(QLocale::Japanese).toString(kMaxMembers));
            } else {
                seen.insert(key);
            }
        }
        candidates.append(std::move(c));
    }
    if (!hasHeader && importable_count(candidates) == 0) {
        for (ImportCandidate& c : candidates) {
            c.status = ImportStatus::NoHeader;
            c.statusText = QStringLiteral("見出し行なし");
        }
    }
    return candidates;
}

QString import_note(const QList<ImportCandidate>& candidates) {
    if (candidates.isEmpty() || candidates.constFirst().status != ImportStatus::NoHeader)
        return {};
    return QStringLiteral("取り込める行がありません。1行目に見出し行（名前, かな, 回生, 学部, 出身高校, 役割）が"
                          "見つからないため、列をメンバーテキスト出力の順に読みました。\n"
                          "列の順が違うか、別の文字コード（EUC-JP など）で書かれたファイルかもしれません。"
                          "1行目に見出し行を付けるか、UTF-8 か Shift-JIS で保存し直してください。");
}

MemberRecord imported_member(const ImportCandidate& candidate, quint8 defaultRole) {
    MemberRecord member = candidate.member;
    if (!candidate.roleGiven)
        member.role = defaultRole;
    return member;
}

QStringList preview_cells(const ImportCandidate& candidate, quint8 defaultRole) {
    QStringList cells = candidate.cells;
    if (!candidate.roleGiven)
        cells[kMemberColRole] = role_text(imported_member(candidate, defaultRole));
    cells << candidate.statusText;
    return cells;
}

qint32 importable_count(const QList<ImportCandidate>& candidates) {
    return qint32(
        std::count_if(candidates.cbegin(), candidates.cend(), [](const ImportCandidate& c) { return c.importable(); }));
}

qint32 import_members(AppState& state, const QList<ImportCandidate>& candidates, quint8 defaultRole) {
    const qint32 added = importable_count(candidates);
    if (added == 0)
        return 0;
    // Elements behind memberCount are not members; the new ones take their places.
    state.members.resize(qsizetype(state.roster().size()));
    state.members.reserve(state.members.size() + added);
    for (const ImportCandidate& c : candidates) {
        if (c.importable())
            state.members.append(imported_member(c, defaultRole));
    }
    state.memberCount = qint32(state.members.size());
    state.markRosterChanged(QStringLiteral("メンバー取り込み"));
    return added;
}

bool read_member_csv(const QString& path, const AppState& state, QList<ImportCandidate>* candidates, QString* error) {
    QByteArray bytes;
    if (!read_file_whole(path, kMemberImportMaxBytes, &bytes, error))
        return false;
    const QString shown = QDir::toNativeSeparators(path);
    QString text;
    if (!decode_text_bytes(bytes, &text))
        return fail(error, QStringLiteral("ファイル「%1」は UTF-8 でも Shift-JIS（コードページ 932）でもない文字を"
                                          "含むため読み込めません。")
                               .arg(shown));
    // One row more than the bound, for a header row; the rest of a larger file is never split into rows.
    const CsvReadResult table = read_csv(text, kMemberImportMaxRows + 1);
    ColumnSources sources;
    const qsizetype dataRows =
        table.rows.isEmpty() ? 0 : table.rows.size() - (headerColumns(table.rows.first(), sources) ? 1 : 0);
    if (table.moreRows || dataRows > kMemberImportMaxRows)
        return fail(error,
                    QStringLiteral("ファイル「%1」は行が多すぎるため読み込めません。一度に取り込めるのは"
                                   "%2行（名簿に入るメンバーの数）までです。ファイルを分けて取り込んでください。")
                        .arg(shown, QLocale(QLocale::Japanese).toString(kMemberImportMaxRows)));
    if (table.unclosedQuoteLine > 0)
        return fail(error, QStringLiteral("ファイル「%1」の%2行目で始まる「\"」が閉じられていないため読み込めません。")
                               .arg(shown)
                               .arg(table.unclosedQuoteLine));
    QList<ImportCandidate> result = member_candidates(table.rows, state);
    if (result.isEmpty())
        return fail(error, QStringLiteral("ファイル「%1」には取り込むメンバーの行がありません。").arg(shown));
    if (candidates)
        *candidates = std::move(result);
    return true;
}

QList<QStringList> member_table(const AppState& state) {
    QList<QStringList> rows = {member_column_titles()};
    rows.reserve(qsizetype(state.roster().size()) + 1);
    for (const MemberRecord& m : state.roster())
        rows.append(member_column_texts(m));
    return rows;
}
