#include "printcommands.h"

#include "desktoplauncher.h"
#include "pdfoutput.h"
#include "printrenderer.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>

QString pdf_default_folder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

bool run_pdf_export(const QList<PrintDocument>& documents, const QString& proposedName, const QString& title,
                    Prompter& prompter) {
    QString path = prompter.chooseFile({.initialFolder = pdf_default_folder(),
                                        .open = false,
                                        .filter = QStringLiteral("PDF(*.pdf)|*.pdf|"),
                                        .fileName = proposedName,
                                        .title = QStringLiteral("PDF出力")});
    if (path.isEmpty())
        return false;
    // A name typed without its ending gets it, so that the file opens as a PDF and a data file's name
    // (member.dat, an entry file) is never written over by a PDF.
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    QString error;
    if (!write_pdf_file(path, documents, title, &error)) {
        prompter.showMessage(error, Prompter::Icon::Stop);
        return false;
    }
    // The closing message offers the folder, where the PDF is to be found.
    offer_written_file(QStringLiteral("PDF「%1」を出力しました。").arg(QDir::toNativeSeparators(path)), path, QString(),
                       prompter, desktop::launcher());
    return true;
}

PrintCommands::PrintCommands(Prompter& prompter) : m_prompter(prompter) {}

PrintCommands::~PrintCommands() = default;

QPrinter& PrintCommands::printer(const QString& title) {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        set_print_page_layout(*m_printer);
    }
    m_printer->setDocName(title);
    return *m_printer;
}

bool PrintCommands::paintOnPrinter(const QList<PrintDocument>& documents, QPrinter& printer) {
    if (paint_documents(documents, printer) >= 0)
        return true;
    m_prompter.showMessage(
        QStringLiteral("印刷できませんでした。\nプリンターが使えるか、印刷の設定を確かめてください。"),
        Prompter::Icon::Stop);
    return false;
}

void PrintCommands::preview(const QList<PrintDocument>& documents, const QString& title, QWidget* parent) {
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
    QPrinter& target = printer(title);
    QPrintDialog dialog(&target, parent);
    dialog.setObjectName(QStringLiteral("dlg_print"));
    dialog.setWindowTitle(QStringLiteral("印刷"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return paintOnPrinter(documents, target);
}
