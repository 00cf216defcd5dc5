#include "guidewindow.h"

#include "prompter.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr auto kGuideName = "guide-ja.md";
} // namespace

GuideWindow::GuideWindow(const QString& guideFile, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm_guide"));
    setAccessibleName(QStringLiteral("使い方"));
    setWindowTitle(QStringLiteral("使い方 – DanceEntry"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txt_guide"));
    m_browser->setAccessibleName(QStringLiteral("使い方の本文"));
    // Qt's Markdown reader gives headings no anchors, so the table of contents' links are followed here.
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &GuideWindow::followLink);
    m_browser->setSource(QUrl::fromLocalFile(QFileInfo(guideFile).absoluteFilePath()), QTextDocument::MarkdownResource);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmd_guide_close"));
    close->setAccessibleName(QStringLiteral("閉じる"));
    close->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addWidget(buttons);
    // Wide enough for the pictures (at most 800 px) beside the text's margins, and never beyond the screen.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() : QSize(860, 640);
    resize(std::min(860, room.width()), std::min(640, room.height()));
}

void GuideWindow::followLink(const QUrl& link) {
    if (link.scheme() == QLatin1String("http") || link.scheme() == QLatin1String("https") ||
        link.scheme() == QLatin1String("mailto")) {
        QDesktopServices::openUrl(link);
        return;
    }
    const QUrl target = m_browser->source().resolved(link);
    if (target.adjusted(QUrl::RemoveFragment) != m_browser->source().adjusted(QUrl::RemoveFragment)) {
        m_browser->setSource(target);
        return;
    }
    if (link.hasFragment())
        showHeading(link.fragment(QUrl::FullyDecoded));
}

bool GuideWindow::showHeading(const QString& anchor) {
    const QTextDocument* document = m_browser->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0 && heading_anchor(block.text()) == anchor) {
            const QRectF place = document->documentLayout()->blockBoundingRect(block);
            m_browser->verticalScrollBar()->setValue(int(place.top()));
            return true;
        }
    }
    return false;
}

QString heading_anchor(const QString& heading) {
    QString anchor;
    for (const QChar c : heading.trimmed().toLower()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))
            anchor += c;
        else if (c.isSpace())
            anchor += QLatin1Char('-');
    }
    return anchor;
}

QStringList guide_places() {
    QStringList places;
    const QString programFolder = QCoreApplication::applicationDirPath();
    places << QDir::cleanPath(programFolder + QStringLiteral("/" DANCEENTRY_GUIDE_FROM_PROGRAM "/") +
                              QLatin1String(kGuideName));
    for (const QString& dataFolder : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString place = QDir::cleanPath(dataFolder + QStringLiteral("/danceentry/") + QLatin1String(kGuideName));
        if (!places.contains(place))
            places << place;
    }
    // A program in the build tree shows the guide as it is being written.
    const QString buildTree = QDir::cleanPath(QStringLiteral(DANCEENTRY_BUILD_TREE));
    if (programFolder == buildTree || programFolder.startsWith(buildTree + QLatin1Char('/')))
        places << QDir::cleanPath(QStringLiteral(DANCEENTRY_SOURCE_DOCS "/") + QLatin1String(kGuideName));
    return places;
}

QString find_guide(const QStringList& places) {
    for (const QString& place : places) {
        const QFileInfo info(place);
        if (info.isFile() && info.isReadable())
            return place;
    }
    return {};
}

GuideWindow* open_guide(QWidget* parent, Prompter& prompter, const QStringList& places) {
    const QString guide = find_guide(places);
    if (guide.isEmpty()) {
        QStringList shown;
        for (const QString& place : places)
            shown << QStringLiteral("・") + QDir::toNativeSeparators(place);
        prompter.showMessage(QStringLiteral("使い方（%1）が見つかりませんでした。次の場所を探しました。\n%2\n"
                                            "DanceEntry をインストールし直してください。")
                                 .arg(QLatin1String(kGuideName), shown.join(QLatin1Char('\n'))),
                             Prompter::Icon::Exclamation);
        return nullptr;
    }
    auto* window = new GuideWindow(guide, parent);
    window->show();
    return window;
}
