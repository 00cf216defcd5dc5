#include "japanesefont.h"

#include <QStringList>

namespace {
const QString kDesignedFamily = QStringLiteral("ＭＳ Ｐゴシック");
}

void install_japanese_font_substitutions() {
    QStringList fallbacks;
#ifdef Q_OS_WIN
    // Windows without the designed font: its own Japanese fonts first, then the IPA font the zip and the
    // installer carry (loaded by ensure_japanese_font()).
    fallbacks << QStringLiteral("MS PGothic") << QStringLiteral("Yu Gothic UI") << QStringLiteral("Meiryo UI")
              << QStringLiteral("Meiryo") << QStringLiteral("MS UI Gothic");
#endif
    fallbacks << QStringList{QStringLiteral("IPAPGothic"),       QStringLiteral("IPAGothic"),
                             QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
                             QStringLiteral("TakaoPGothic"),     QStringLiteral("Sans Serif")};
    QFont::insertSubstitutions(kDesignedFamily, fallbacks);
    QFont::insertSubstitutions(QStringLiteral("MS PGothic"), fallbacks.mid(fallbacks.indexOf(u"MS PGothic") + 1));
}

QFont ms_p_gothic(qreal pointSize) {
    QFont font(kDesignedFamily);
    font.setPointSizeF(pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
