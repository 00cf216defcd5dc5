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
// ".pdf" gets it. One of the program's own files in `state`'s data folder is refused and the dialog shown again;
// an existing file is kept in backup/. Writes the PDF whole and says so (and where the replaced file's bytes
// are), offering its folder, or says in Japanese why it could not. True when written.
bool run_pdf_export(const AppState& state, const QList<PrintDocument>& documents, const QString& proposedName,
                    const QString& title, Prompter& prompter);

// The printer of the main window's print commands, made on first use (A4 portrait, 15 mm margins) and kept, so
// that the printer and paper chosen once stay chosen for the next print and preview.
class PrintCommands {
public:
    PrintCommands(const AppState& state, Prompter& prompter);
    ~PrintCommands();

    // "印刷プレビュー": Qt's preview of the pages, from which they can also be printed.
    void preview(const QList<PrintDocument>& documents, const QString& title, QWidget* parent);
    // "印刷": Qt's print dialog, then the pages on the chosen printer. True when they were printed.
    bool print(const QList<PrintDocument>& documents, const QString& title, QWidget* parent);
    // Paints on the printer as set up in the print dialog; a print to a file is judged first (mayPrintTo) and
    // replaces the file whole. A printer that refused the job is reported. True when the pages were printed.
    bool paintOnPrinter(const QList<PrintDocument>& documents, QPrinter& printer);

private:
    QPrinter& printer(const QString& title);
    // A print to the PDF file `path` (chosen in Qt's print dialog) is judged as PDF出力's file: one of the
    // program's own files is refused (told why), an existing file is kept in backup/ with `kept` naming the copy.
    bool mayPrintTo(const QString& path, QString* kept);
    // False, told which font package is missing, where no Japanese font can be had.
    bool japaneseFontAvailable();

    const AppState& m_state;
    Prompter& m_prompter;
    std::unique_ptr<QPrinter> m_printer;
};
