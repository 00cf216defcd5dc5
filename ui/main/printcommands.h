#pragma once

#include "printout.h"
#include "prompter.h"

#include <QList>
#include <QString>

#include <memory>

class QPrinter;
class QWidget;

// The folder a PDF is proposed in: the user's documents folder (never the data folder), or the home folder
// where there is none.
QString pdf_default_folder();

// "PDF出力": asks for the file in a save dialog in the documents folder, proposing `proposedName`; a name without
// ".pdf" gets it. Writes the PDF whole and says so (offering its folder), or says in Japanese why it could not. True
// when written.
bool run_pdf_export(const QList<PrintDocument>& documents, const QString& proposedName, const QString& title,
                    Prompter& prompter);

// The printer of the main window's print commands, made on first use (A4 portrait, 15 mm margins) and kept, so
// that the printer and paper chosen once stay chosen for the next print and preview.
class PrintCommands {
public:
    explicit PrintCommands(Prompter& prompter);
    ~PrintCommands();

    // "印刷プレビュー": Qt's preview of the pages, from which they can also be printed.
    void preview(const QList<PrintDocument>& documents, const QString& title, QWidget* parent);
    // "印刷": Qt's print dialog, then the pages on the chosen printer. True when they were printed.
    bool print(const QList<PrintDocument>& documents, const QString& title, QWidget* parent);

private:
    QPrinter& printer(const QString& title);
    // Paints on the printer; a printer that refused the job is reported.
    bool paintOnPrinter(const QList<PrintDocument>& documents, QPrinter& printer);

    Prompter& m_prompter;
    std::unique_ptr<QPrinter> m_printer;
};
