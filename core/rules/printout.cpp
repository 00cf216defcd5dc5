#include "printout.h"

#include "couplegrid.h"
#include "membercolumns.h"
#include "vocabulary.h"

#include <QDir>

#include <array>

namespace {

const QString kLabelSeparator = QStringLiteral(" : ");

QString headingLine(const QString& label, const QString& value) {
    return label + kLabelSeparator + printable_text(value);
}

PrintColumn column(const QString& title, bool centred, bool wraps, bool spansBlock, int weight = 1) {
    return PrintColumn{title, centred, wraps, spansBlock, weight};
}

// The first text that `field` gives for a shown couple, or `fallback` when no couple carries one.
template <typename Field>
QString stampedText(const AppState& state, const CoupleGridRows& grid, Field field, const QString& fallback) {
    for (qsizetype r = 1; r < grid.size(); ++r) {
        const QString& text = field(state.couples[grid[r].couple]);
        if (!text.isEmpty())
            return text;
    }
    return fallback;
}

// The dances a couple's rows mark, by index.
using DanceSet = std::array<bool, kDanceCount>;

} // namespace

QString print_date_text(const QDate& date) {
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

QString printable_text(const QString& text) {
    QString result = text;
    for (QChar& c : result) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return result;
}

QList<int> dance_totals(const AppState& state) {
    const CoupleGridRows grid = build_couple_grid_rows(state);
    QList<int> totals(kDanceCount, 0);
    DanceSet danced{};
    for (qsizetype r = 1; r < grid.size(); ++r) {
        for (int d = 0; d < kDanceCount; ++d)
            danced[size_t(d)] = danced[size_t(d)] || !grid[r].text(kGridColFirstDance + d).isEmpty();
        // The last row of a couple: the next row starts another couple (its first partner), or there is none.
        if (r + 1 == grid.size() || grid[r + 1].partner == 0) {
            for (int d = 0; d < kDanceCount; ++d)
                totals[d] += danced[size_t(d)] ? 1 : 0;
            danced = {};
        }
    }
    return totals;
}

PrintDocument entry_print_document(const AppState& state, const QString& entryFileName, const QDate& date) {
    const CoupleGridRows grid = build_couple_grid_rows(state);
    PrintDocument document;
    document.title = QStringLiteral("エントリー一覧");
    const QString university = stampedText(
        state, grid, [](const CoupleRecord& c) -> const QString& { return c.university; },
        state.universityInfo.university);
    const QString game = stampedText(
        state, grid, [](const CoupleRecord& c) -> const QString& { return c.gameName; }, state.universityInfo.gameName);
    document.heading = {headingLine(QStringLiteral("大学名"), university), headingLine(QStringLiteral("試合名"), game),
                        headingLine(QStringLiteral("ファイル名"), split_field(QDir::fromNativeSeparators(entryFileName),
                                                                              QStringLiteral("/"), 1, true)),
                        headingLine(QStringLiteral("印刷日"), print_date_text(date))};

    document.columns = {column(QStringLiteral("背番号"), true, false, true),
                        column(QStringLiteral("リーダー"), false, true, true),
                        column(QStringLiteral("パートナー"), false, true, false)};
    for (qint32 d = 0; d < kDanceCount; ++d)
        document.columns << column(dance_code(d), true, false, false);
    document.columns << column(QStringLiteral("Reguler"), true, false, true)
                     << column(QStringLiteral("MorL"), true, false, true);

    for (qsizetype r = 1; r < grid.size(); ++r) {
        const CoupleGridRow& cells = grid[r];
        const CoupleRecord& couple = state.couples[cells.couple];
        const MemberRecord& partner = couple.partners[cells.partner];
        const bool first = cells.partner == 0; // the grid lists each couple's partners from the first on
        if (first)
            document.blocks.append(PrintBlock{});
        PrintRow row;
        row << PrintCell{first ? cells.text(kGridColBackNumber) : QString(), {}};
        row << (first ? PrintCell{printable_text(couple.leader.name), printable_text(couple.leader.kana)}
                      : PrintCell{});
        row << PrintCell{printable_text(partner.name), printable_text(partner.kana)};
        for (int d = 0; d < kDanceCount; ++d)
            row << PrintCell{cells.text(kGridColFirstDance + d), {}};
        row << PrintCell{first ? cells.text(kGridColRegular) : QString(), {}};
        row << PrintCell{first ? cells.text(kGridColSection) : QString(), {}};
        document.blocks.last().rows.append(row);
    }

    PrintTotals totals{QStringLiteral("種目ごとのカップル数"), QStringList(document.columns.size())};
    const QList<int> counts = dance_totals(state);
    for (int d = 0; d < kDanceCount; ++d)
        totals.cells[kGridColFirstDance + d] = QString::number(counts[d]);
    document.totals = {totals};
    document.closing = {QStringLiteral("カップル数 : ") + QString::number(document.blocks.size())};
    return document;
}

QList<qint32> stored_member_order(const AppState& state) {
    QList<qint32> order;
    for (qint32 i = 0; i < qint32(state.roster().size()); ++i)
        order.append(i);
    return order;
}

PrintDocument roster_print_document(const AppState& state, const QList<qint32>& order, const QDate& date) {
    PrintDocument document;
    document.title = QStringLiteral("メンバー一覧");
    document.heading = {headingLine(QStringLiteral("大学名"), state.universityInfo.university),
                        headingLine(QStringLiteral("印刷日"), print_date_text(date))};
    for (qsizetype c = 0; c < kMemberColumnCount; ++c) {
        const MemberColumnSpec& definition = kMemberColumns[size_t(c)];
        document.columns << column(member_column_title(c), definition.centred, definition.freeText, false,
                                   definition.printWeight);
    }
    for (qint32 position : order) {
        if (!state.isMember(position))
            continue;
        PrintRow row;
        for (const QString& text : member_column_texts(state.members[position]))
            row << PrintCell{printable_text(text), {}};
        document.blocks.append(PrintBlock{{row}});
    }
    document.closing = {QStringLiteral("メンバー数 : ") + QString::number(document.blocks.size()) +
                        QStringLiteral(" 人")};
    return document;
}

QString pdf_file_name(const QString& entryFileName) {
    QString name = split_field(QDir::fromNativeSeparators(entryFileName), QStringLiteral("/"), 1, true);
    if (name.isEmpty())
        return QStringLiteral("メンバー一覧.pdf");
    if (name.endsWith(QLatin1String(".ent"), Qt::CaseInsensitive))
        name.chop(4);
    return name + QStringLiteral(".pdf");
}
