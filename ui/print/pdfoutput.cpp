#include "pdfoutput.h"

#include "printrenderer.h"
#include "savefile.h"

#include <QBuffer>
#include <QPdfWriter>

QByteArray pdf_bytes(const QList<PrintDocument>& documents, const QString& title, QString* error) {
    // Without a Japanese font every name would be an empty box: no PDF at all rather than that.
    if (!ensure_japanese_font(error))
        return {};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    int pages = -1;
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("DanceEntry"));
        set_print_page_layout(writer);
        pages = paint_documents(documents, writer);
    }
    if (pages <= 0 || buffer.data().isEmpty()) {
        if (error)
            *error = QStringLiteral("PDF のページを作れませんでした。");
        return {};
    }
    return buffer.data();
}

bool write_pdf_file(const QString& path, const QList<PrintDocument>& documents, const QString& title, QString* error) {
    QString reason;
    const QByteArray bytes = pdf_bytes(documents, title, &reason);
    if (bytes.isEmpty()) {
        if (error)
            *error = save_failed_message(path, reason);
        return false;
    }
    return write_file_whole(path, bytes, error);
}
