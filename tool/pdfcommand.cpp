#include "pdfcommand.h"

#include "csvcommand.h"
#include "datafiles.h"
#include "pdfoutput.h"
#include "printout.h"
#include "toolfiles.h"
#include "tooltext.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <functional>

namespace {

using Report = std::function<void(const QString&)>;

// The roster of `path`, headed by the university of the uniinf.dat in the same folder. That file is no input: a
// roster without it prints without a university, and a damaged one is only mentioned.
bool rosterDocument(const QString& path, QList<PrintDocument>& documents, const Report& report) {
    LoadedFile file;
    QString error;
    if (!load_data_file(path, file, &error)) {
        report(error);
        return false;
    }
    const QString university = QFileInfo(path).dir().filePath(QStringLiteral("uniinf.dat"));
    if (!read_university_file(university, file.state, &error))
        report(error + QStringLiteral("\n大学名なしでメンバー一覧を書きます。"));
    documents = {roster_print_document(file.state, stored_member_order(file.state), QDate::currentDate())};
    return true;
}

// The entry list of every file, or nothing: a bundle that silently lacks a university is worse than none.
bool entryDocuments(const QStringList& files, QList<PrintDocument>& documents, const Report& report) {
    return load_entry_files(
        files,
        [&documents](const LoadedFile& file) {
            documents.append(entry_print_document(file.state, QFileInfo(file.path).fileName(), QDate::currentDate()));
        },
        report);
}

} // namespace

int run_pdf(const ToolOptions& options, QIODevice& err) {
    const Report report = [&err](const QString& message) {
        write_text(err, QStringLiteral("danceentry-tool: %1\n").arg(message));
    };
    // The roster and the entry lists are different lists: one PDF holds one kind.
    const auto member = std::find_if(options.files.cbegin(), options.files.cend(),
                                     [](const QString& path) { return data_file_kind(path) == DataFileKind::Member; });
    if (member != options.files.cend() && options.files.size() > 1) {
        report(QStringLiteral("メンバーファイル「%1」は、ほかのファイルと一緒には PDF にできません。"
                              "メンバーファイルは一つだけ指定してください。\n"
                              "使い方は danceentry-tool pdf --help で表示します。")
                   .arg(QDir::toNativeSeparators(*member)));
        return kExitUsage;
    }
    const QString refusal = output_refusal(options.outputPath, options.files);
    if (!refusal.isEmpty()) {
        report(refusal);
        return kExitFailure;
    }

    QList<PrintDocument> documents;
    const bool read = member != options.files.cend() ? rosterDocument(*member, documents, report)
                                                     : entryDocuments(options.files, documents, report);
    if (!read) {
        report(QStringLiteral("PDF は書き出しませんでした。"));
        return kExitFailure;
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        report(QStringLiteral(
            "ページを作る準備ができていません（QGuiApplication がありません）。PDF は書き出しませんでした。"));
        return kExitFailure;
    }
    const QString title =
        member != options.files.cend() || documents.size() != 1
            ? documents.constFirst().title
            : documents.constFirst().title + QLatin1Char(' ') + QFileInfo(options.files.first()).fileName();
    QString error;
    if (!write_pdf_file(options.outputPath, documents, title, &error)) {
        report(error);
        return kExitFailure;
    }
    return kExitOk;
}
