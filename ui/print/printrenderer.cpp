#include "printrenderer.h"

#include "documentlayout.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

void set_print_page_layout(QPagedPaintDevice& device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(printlayout::kPageMarginMm, printlayout::kPageMarginMm,
                                               printlayout::kPageMarginMm, printlayout::kPageMarginMm),
                                     QPageLayout::Millimeter));
}

QFont print_font(qreal pointSize, bool bold) {
    QFont font(QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                           QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
                           QStringLiteral("TakaoPGothic")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

namespace {

// The files of kJapaneseFontPackage (IPA P Gothic first, as print_font asks for it). The tests name files that
// do not exist here to see the program without any Japanese font.
QStringList japaneseFontFiles() {
    const QByteArray forTests = qgetenv("DANCEENTRY_TEST_FONT_FILES");
    if (!forTests.isEmpty())
        return QFile::decodeName(forTests).split(QLatin1Char(':'), Qt::SkipEmptyParts);
#ifdef Q_OS_WIN
    // The zip and the installer carry the IPA fonts in fonts\ beside the program.
    const QString bundled = QCoreApplication::applicationDirPath() + QStringLiteral("/fonts/");
    return {bundled + QStringLiteral("ipagp.ttf"), bundled + QStringLiteral("ipag.ttf")};
#endif
    return {QStringLiteral("/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"),
            QStringLiteral("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf")};
}

bool hasJapaneseFont() {
    return !QFontDatabase::families(QFontDatabase::Japanese).isEmpty();
}

} // namespace

bool ensure_japanese_font(QString* error) {
#ifdef Q_OS_WIN
    // PDFs embed the same IPA font as on Linux, carried beside the program, whatever fonts Windows has.
    static const bool bundledLoaded = [] {
        for (const QString& file : japaneseFontFiles()) {
            if (QFile::exists(file))
                QFontDatabase::addApplicationFont(file);
        }
        return true;
    }();
    Q_UNUSED(bundledLoaded)
#endif
    if (hasJapaneseFont())
        return true;
    for (const QString& file : japaneseFontFiles()) {
        if (QFile::exists(file))
            QFontDatabase::addApplicationFont(file);
    }
    if (hasJapaneseFont())
        return true;
#ifdef Q_OS_WIN
    if (error)
        *error = QStringLiteral("日本語のフォントが見つからないため、印刷も PDF の作成もできません。\n"
                                "DanceEntry のフォルダの中の fonts フォルダ（ipagp.ttf）が消えていないか確かめるか、"
                                "DanceEntry を入れ直してください。");
    return false;
#endif
    if (error)
        *error = QStringLiteral("日本語のフォントが見つからないため、印刷も PDF の作成もできません。\n"
                                "日本語のフォントのパッケージ %1 をインストールしてください"
                                "（例: sudo apt install %1）。")
                     .arg(QLatin1String(kJapaneseFontPackage));
    return false;
}

int paint_documents(const QList<PrintDocument>& documents, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device))
        return -1;
    painter.setRenderHint(QPainter::Antialiasing);
    int pages = 0;
    for (const PrintDocument& document : documents) {
        const printlayout::DocumentLayout layout(document, device);
        for (int p = 0; p < layout.pageCount(); ++p) {
            if (pages > 0 && !device.newPage()) {
                painter.end();
                return -1;
            }
            layout.paintPage(painter, p);
            ++pages;
        }
    }
    if (!painter.end())
        return -1;
    return pages;
}
