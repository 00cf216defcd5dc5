#include "csvcommand.h"

#include "couplegrid.h"
#include "cp932.h"
#include "memberimport.h"
#include "savefile.h"
#include "tooltext.h"
#include "vocabulary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <functional>

namespace {

constexpr qsizetype kColFile = 0;
constexpr qsizetype kColBackNumber = 3;

using Report = std::function<int(const QString&)>;

// The entry table of every file, or nothing: a table that silently lacks a university is worse than none.
bool entryTable(const QStringList& files, QList<QStringList>& rows, CsvRowPlace& place, const Report& report) {
    rows = {csv_header()};
    if (!load_entry_files(
            files, [&rows](const LoadedFile& file) { rows += csv_rows(file); }, report)) {
        report(QStringLiteral("CSV は書き出しませんでした。"));
        return false;
    }
    place = [&rows](qsizetype r) {
        return QStringLiteral("ファイル「%1」の背番号%2").arg(rows[r].value(kColFile), rows[r].value(kColBackNumber));
    };
    return true;
}

// The roster as the member import reads it back.
bool memberTable(const QString& path, QList<QStringList>& rows, CsvRowPlace& place, const Report& report) {
    LoadedFile file;
    QString error;
    if (!load_data_file(path, file, &error)) {
        report(error);
        return false;
    }
    rows = member_table(file.state);
    place = [name = QFileInfo(path).fileName()](qsizetype r) {
        return QStringLiteral("ファイル「%1」の%2人目のメンバー").arg(name).arg(r);
    };
    return true;
}

} // namespace

QStringList csv_header() {
    QStringList header = {QStringLiteral("ファイル"),       QStringLiteral("大学名"),
                          QStringLiteral("出場試合名"),     QStringLiteral("背番号"),
                          QStringLiteral("リーダー名"),     QStringLiteral("リーダーかな"),
                          QStringLiteral("リーダー回生"),   QStringLiteral("パートナー名"),
                          QStringLiteral("パートナーかな"), QStringLiteral("パートナー回生")};
    for (qint32 d = 0; d < kDanceCount; ++d)
        header << dance_code(d);
    header << QStringLiteral("Reguler") << QStringLiteral("MorL");
    return header;
}

QList<QStringList> csv_rows(const LoadedFile& file) {
    QList<QStringList> rows;
    if (file.kind != DataFileKind::Entry)
        return rows;
    const AppState& state = file.state;
    const QString fileName = QFileInfo(file.path).fileName();
    // The grid gives the order and the marks; each row leads back to its couple and partner.
    const CoupleGridRows grid = build_couple_grid_rows(state);
    for (qsizetype r = 1; r < grid.size(); ++r) {
        const CoupleGridRow& cells = grid[r];
        const CoupleRecord& couple = state.couples[cells.couple];
        const MemberRecord& partner = couple.partners[cells.partner];
        // The export stamps university and competition into every couple; a couple of a file that was only
        // saved may lack them, and then the file's university information stands in.
        const QString university = couple.university.isEmpty() ? state.universityInfo.university : couple.university;
        const QString game = couple.gameName.isEmpty() ? state.universityInfo.gameName : couple.gameName;
        QStringList row = {fileName,
                           university,
                           game,
                           QString::number(couple.backNumber),
                           couple.leader.name,
                           couple.leader.kana,
                           QString::number(couple.leader.year),
                           partner.name,
                           partner.kana,
                           QString::number(partner.year)};
        for (qint32 d = 0; d < kDanceCount; ++d)
            row << (cells.text(kGridColFirstDance + d).isEmpty() ? QString() : QStringLiteral("1"));
        row << (couple.regular == 1 ? QStringLiteral("1") : QString()) << cells.text(kGridColSection);
        rows.append(row);
    }
    return rows;
}

bool encode_csv(const QList<QStringList>& rows, CsvEncoding encoding, const CsvRowPlace& place, QByteArray* bytes,
                QString* error) {
    // Row by row, so that the table of the largest entry file is never held as one text besides its bytes.
    const auto rowText = [](const QStringList& row) {
        QStringList guarded;
        guarded.reserve(row.size());
        for (const QString& cell : row)
            guarded << spreadsheet_cell(cell);
        return csv_text({guarded});
    };
    if (encoding == CsvEncoding::Utf8WithBom) {
        QByteArray utf8("\xEF\xBB\xBF");
        for (const QStringList& row : rows)
            utf8 += rowText(row).toUtf8();
        *bytes = std::move(utf8);
        return true;
    }
    if (!cp932::available()) {
        if (error)
            *error = QStringLiteral(
                "Shift-JIS（コードページ 932）への変換が使えません。--encoding utf-8 で書き出してください。");
        return false;
    }
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (const QString& field : rows[r]) {
            if (cp932::encode(field, nullptr))
                continue;
            const QString bad = cp932::firstUnencodable(field);
            if (error)
                *error = QStringLiteral("%1の「%2」に、Shift-JIS（コードページ 932）で表せない文字 "
                                        "%3 があります。--encoding utf-8 で書き出してください。")
                             .arg(place(r), field, cp932::describe(bad));
            return false;
        }
    }
    QByteArray encoded;
    for (const QStringList& row : rows) {
        if (!cp932::encodeAppend(rowText(row), encoded, error))
            return false;
    }
    *bytes = std::move(encoded);
    return true;
}

int run_csv(const ToolOptions& options, QIODevice& out, QIODevice& err) {
    const auto failWith = [&err](const QString& message) {
        write_text(err, QStringLiteral("danceentry-tool: %1\n").arg(message));
        return kExitFailure;
    };
    // The roster and the entries are tables of different columns: one output holds one of them.
    const auto member = std::find_if(options.files.cbegin(), options.files.cend(),
                                     [](const QString& path) { return data_file_kind(path) == DataFileKind::Member; });
    if (member != options.files.cend() && options.files.size() > 1) {
        failWith(QStringLiteral("メンバーファイル「%1」は、ほかのファイルと一緒には CSV にできません。"
                                "メンバーファイルは一つだけ指定してください。\n"
                                "使い方は danceentry-tool csv --help で表示します。")
                     .arg(QDir::toNativeSeparators(*member)));
        return kExitUsage;
    }
    const bool toStandardOutput = options.outputPath.isEmpty() || options.outputPath == QLatin1String("-");
    if (!toStandardOutput) {
        const QString refusal = output_refusal(options.outputPath, options.files);
        if (!refusal.isEmpty())
            return failWith(refusal);
    }

    QList<QStringList> rows;
    CsvRowPlace place;
    const bool read = member != options.files.cend() ? memberTable(*member, rows, place, failWith)
                                                     : entryTable(options.files, rows, place, failWith);
    if (!read)
        return kExitFailure;

    QByteArray bytes;
    QString error;
    if (!encode_csv(rows, options.encoding, place, &bytes, &error))
        return failWith(error);
    if (toStandardOutput) {
        if (out.write(bytes) != bytes.size())
            return failWith(QStringLiteral("標準出力に書き込めませんでした。CSV は途中までしか書かれていません。"));
        return kExitOk;
    }
    if (!write_file_whole(options.outputPath, bytes, &error))
        return failWith(error);
    return kExitOk;
}
