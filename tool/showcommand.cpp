#include "showcommand.h"

#include "couplegrid.h"
#include "export.h"
#include "membercolumns.h"
#include "textcheck.h"
#include "toolargs.h"
#include "tooltext.h"

#include <QDir>

#include <algorithm>

namespace {

QString universityText(const UniversityInfo& info) {
    const QList<LabelledText> fields = university_fields(info);
    int labelWidth = 0;
    for (const LabelledText& field : fields)
        labelWidth = std::max(labelWidth, display_width(field.label));
    QString text;
    for (const auto& [label, value] : fields) {
        const QString lead =
            label + QString(labelWidth - display_width(label), QLatin1Char(' ')) + QStringLiteral(" : ");
        // A comment may hold several lines; the following ones are indented under the first.
        const QStringList lines = lines_for_display(value).split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString prefix = i == 0 ? lead : QString(display_width(lead), QLatin1Char(' '));
            QString line = prefix + single_line(lines[i]);
            while (line.endsWith(QLatin1Char(' ')))
                line.chop(1);
            text += line + QLatin1Char('\n');
        }
    }
    return text;
}

QString membersText(const AppState& state) {
    const std::span<const MemberRecord> roster = state.roster();
    QString text = QStringLiteral("メンバー数 : %1\n").arg(roster.size());
    if (roster.empty())
        return text;
    // The columns of the program's member list.
    QList<QStringList> rows = {member_column_titles()};
    for (const MemberRecord& member : roster)
        rows.append(member_column_texts(member));
    return text + QLatin1Char('\n') + format_table(rows);
}

// The competition names in the order the program's list offers them, numbered.
QString gameNamesText(const LoadedFile& file) {
    QString text = QStringLiteral("出場試合名数 : %1\n").arg(file.gameNameCount);
    for (const QString& warning : file.gameNameWarnings)
        text += QStringLiteral("警告: ") + warning + QLatin1Char('\n');
    if (file.gameNames.isEmpty())
        return text;
    QList<QStringList> rows = {{QStringLiteral("番号"), QStringLiteral("出場試合名")}};
    for (qsizetype i = 0; i < file.gameNames.size(); ++i)
        rows.append({QString::number(i + 1), single_line(file.gameNames[i])});
    return text + QLatin1Char('\n') + format_table(rows);
}

QString entryText(const AppState& state) {
    QString text = universityText(state.universityInfo);
    text += QStringLiteral("\nカップル数 : %1\n").arg(state.coupleCount);
    // The grid of the main window.
    const CoupleGridRows grid = build_couple_grid_rows(state);
    if (grid.size() <= 1)
        return text;
    QList<QStringList> rows;
    for (const CoupleGridRow& row : grid)
        rows.append(row.texts);
    return text + QLatin1Char('\n') + format_table(rows);
}

} // namespace

QString show_text(const LoadedFile& file) {
    QString text =
        QStringLiteral("== %1 (%2) ==\n").arg(QDir::toNativeSeparators(file.path), data_file_kind_text(file.kind));
    switch (file.kind) {
    case DataFileKind::Member:
        return text + membersText(file.state);
    case DataFileKind::University:
        return text + universityText(file.state.universityInfo);
    case DataFileKind::GameNames:
        return text + gameNamesText(file);
    case DataFileKind::Entry:
        break;
    }
    return text + entryText(file.state);
}

int run_show(const QStringList& files, QIODevice& out, QIODevice& err) {
    int status = kExitOk;
    bool first = true;
    for (const QString& path : files) {
        LoadedFile file;
        QString error;
        if (!load_data_file(path, file, &error)) {
            write_text(err, QStringLiteral("danceentry-tool: %1\n").arg(error));
            status = kExitFailure;
            continue;
        }
        write_text(out, (first ? QString() : QStringLiteral("\n")) + show_text(file));
        first = false;
    }
    return status;
}
