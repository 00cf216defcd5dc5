#pragma once

#include <QDialog>
#include <QStringList>

class Prompter;
class QTextBrowser;

// frm_guide, "使い方 – DanceEntry": the Japanese user guide (docs/guide-ja.md and its pictures), shown as
// Markdown in a window of its own beside the main window. Not modal; Escape, 閉じる and the close box close it.
// It keeps nothing between openings: each opening starts at the top of the guide.
//
// | objectName        | member      | what it is                        |
// |-------------------|-------------|-----------------------------------|
// | frm_guide         | this        | the window                        |
// | txt_guide         | m_browser   | the guide, with its links         |
// | cmd_guide_close   | (button)    | 閉じる                            |
class GuideWindow : public QDialog {
    Q_OBJECT
public:
    // Shows the Markdown file `guideFile`; pictures and links are found relative to it.
    explicit GuideWindow(const QString& guideFile, QWidget* parent = nullptr);

    QTextBrowser* browser() const { return m_browser; }
    // Scrolls the heading whose anchor is `anchor` to the top; false when the guide has no such heading.
    bool showHeading(const QString& anchor);

private:
    void followLink(const QUrl& link);

    QTextBrowser* m_browser = nullptr;
};

// The anchor of a heading in a Markdown link, as the code hosts make it: lower case, spaces as hyphens, without
// punctuation ("印刷と PDF" → "印刷と-pdf", "年度替わり（学年を１つあげる）" → "年度替わり学年を１つあげる").
QString heading_anchor(const QString& heading);

// The places where the guide may be, in the order they are tried: beside the installed program
// (../share/danceentry/guide-ja.md from its folder), the data folders of the system (/usr/share/danceentry and the
// like), and, for a program run from its build tree, the source tree's docs/.
QStringList guide_places();

// The first of `places` that is a readable file, or an empty string.
QString find_guide(const QStringList& places);

// Opens the guide found among `places` in a new GuideWindow on `parent` and returns it; when it is in none of them,
// says so through `prompter`, naming every place looked at, and returns null.
GuideWindow* open_guide(QWidget* parent, Prompter& prompter, const QStringList& places);
