#include "printcommands.h"

#include "desktoplauncher.h"
#include "exporttarget.h"
#include "pdfoutput.h"
#include "platform.h"
#include "printrenderer.h"
#include "savefile.h"

#include <QDir>
#include <QFileInfo>
#include <QPaintEngine>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>

QString pdf_default_folder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

bool run_pdf_export(const AppState& state, const QList<PrintDocument>& documents, const QString& proposedName,
                    const QString& title, Prompter& prompter) {
    QString path;
    // One of the program's own files (by any path, link or second name) is refused and the dialog shown again.
    for (;;) {
        path = prompter.chooseFile({.initialFolder = pdf_default_folder(),
                                    .open = false,
                                    .filter = QStringLiteral("PDF(*.pdf)|*.pdf|"),
                                    .fileName = proposedName,
                                    .title = QStringLiteral("PDF出力")});
        if (path.isEmpty())
            return false;
        // A name typed without its ending gets it, so that the file opens as a PDF.
        if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
            path += QStringLiteral(".pdf");
        const QString refusal = export_target_refusal(state, path, ExportKind::Printout);
        if (refusal.isEmpty())
            break;
        prompter.showMessage(refusal, Prompter::Icon::Exclamation);
    }
    QString kept;
    if (!keep_export_target(state, path, QString(), &kept, prompter))
        return false;
    QString error;
    if (!write_pdf_file(path, documents, title, &error)) {
        prompter.showMessage(error, Prompter::Icon::Stop);
        return false;
    }
    QString done = QStringLiteral("PDF「%1」を出力しました。").arg(QDir::toNativeSeparators(path));
    if (!kept.isEmpty())
        done += QLatin1Char('\n') + replaced_file_note(path, kept);
    // The closing message offers the folder, where the PDF is to be found.
    offer_written_file(done, path, QString(), prompter, desktop::launcher());
    return true;
}

PrintCommands::PrintCommands(const AppState& state, Prompter& prompter) : m_state(state), m_prompter(prompter) {}

PrintCommands::~PrintCommands() = default;

QPrinter& PrintCommands::printer(const QString& title) {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        set_print_page_layout(*m_printer);
    }
    m_printer->setDocName(title);
    return *m_printer;
}

namespace {

// A print to a PDF file: only then does the printer write a file. The preview paints the same printer on
// pictures of its own.
bool printsToFile(QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty() &&
           (!printer.paintEngine() || printer.paintEngine()->type() == QPaintEngine::Pdf);
}

} // namespace

bool PrintCommands::mayPrintTo(const QString& path, QString* kept) {
    const QString refusal = export_target_refusal(m_state, path, ExportKind::Printout);
    if (!refusal.isEmpty()) {
        m_prompter.showMessage(refusal + QStringLiteral("\n印刷しませんでした。"), Prompter::Icon::Exclamation);
        return false;
    }
    return keep_export_target(m_state, path, QString(), kept, m_prompter);
}

bool PrintCommands::paintOnPrinter(const QList<PrintDocument>& documents, QPrinter& printer) {
    const auto failed = [this] {
        m_prompter.showMessage(
            QStringLiteral("印刷できませんでした。\nプリンターが使えるか、印刷の設定を確かめてください。"),
            Prompter::Icon::Stop);
        return false;
    };
    if (!printsToFile(printer))
        return paint_documents(documents, printer) >= 0 || failed();
    const QString path = printer.outputFileName();
    QString kept;
    if (!mayPrintTo(path, &kept))
        return false;
    // The pages go to a file beside the chosen one and replace it when complete, as every save of the program
    // does: a failed print leaves the earlier file as it was, and its copy in backup/ (a second name of the same
    // file) is never written through.
    const QString target = resolved_target_path(path);
    QTemporaryFile part(QFileInfo(target).absolutePath() + QStringLiteral("/.danceentry-print-XXXXXX.pdf"));
    if (!part.open()) {
        m_prompter.showMessage(save_failed_message(path, file_error_reason(errno)), Prompter::Icon::Stop);
        return false;
    }
    part.close();
    printer.setOutputFileName(part.fileName());
    const bool painted = paint_documents(documents, printer) >= 0;
    printer.setOutputFileName(path);
    if (!painted)
        return failed();
    if (const int problem = platform::move_into_place(part.fileName(), target)) {
        m_prompter.showMessage(save_failed_message(path, file_error_reason(problem)), Prompter::Icon::Stop);
        return false;
    }
    part.setAutoRemove(false);
    if (!kept.isEmpty())
        m_prompter.showMessage(QStringLiteral("「%1」に印刷しました。\n").arg(QDir::toNativeSeparators(path)) +
                                   replaced_file_note(path, kept),
                               Prompter::Icon::Information);
    return true;
}

bool PrintCommands::japaneseFontAvailable() {
    QString error;
    if (ensure_japanese_font(&error))
        return true;
    m_prompter.showMessage(error, Prompter::Icon::Stop);
    return false;
}

void PrintCommands::preview(const QList<PrintDocument>& documents, const QString& title, QWidget* parent) {
    if (!japaneseFontAvailable())
        return;
    QPrinter& target = printer(title);
    QPrintPreviewDialog dialog(&target, parent);
    dialog.setObjectName(QStringLiteral("dlg_print_preview"));
    dialog.setWindowTitle(QStringLiteral("印刷プレビュー"));
    // The preview asks for the pages again whenever the paper or its orientation changes, and to print them.
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this, &documents](QPrinter* shown) { paintOnPrinter(documents, *shown); });
    // Large enough to read a page, and never larger than the screen.
    QSize size = dialog.sizeHint().expandedTo(QSize(900, 700));
    if (const QScreen* screen = parent ? parent->screen() : nullptr)
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    dialog.resize(size);
    dialog.exec();
}

bool PrintCommands::print(const QList<PrintDocument>& documents, const QString& title, QWidget* parent) {
    if (!japaneseFontAvailable())
        return false;
    QPrinter& target = printer(title);
    QPrintDialog dialog(&target, parent);
    dialog.setObjectName(QStringLiteral("dlg_print"));
    dialog.setWindowTitle(QStringLiteral("印刷"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return paintOnPrinter(documents, target);
}
