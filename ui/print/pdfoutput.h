#pragma once

#include "printout.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The printed lists as a PDF, on the pages the printer and the preview show (A4 portrait, 15 mm margins), with
// the Japanese font embedded.

// The PDF in memory; empty when it could not be made (also where no Japanese font can be had), with `error`
// saying why.
QByteArray pdf_bytes(const QList<PrintDocument>& documents, const QString& title, QString* error = nullptr);

// Writes the PDF to `path` as a whole, as every save of the program: the earlier file stays as it was when
// anything fails, and `error` names the file and the reason.
bool write_pdf_file(const QString& path, const QList<PrintDocument>& documents, const QString& title,
                    QString* error = nullptr);
