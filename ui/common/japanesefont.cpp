#include "japanesefont.h"

#include <QStringList>

namespace {
const QString kDesignedFamily = QStringLiteral("ＭＳ Ｐゴシック");
}

void install_japanese_font_substitutions() {
    const QStringList fallbacks = {QStringLiteral("IPAPGothic"),       QStringLiteral("IPAGothic"),
                                   QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
                                   QStringLiteral("TakaoPGothic"),     QStringLiteral("Sans Serif")};
    QFont::insertSubstitutions(kDesignedFamily, fallbacks);
    QFont::insertSubstitutions(QStringLiteral("MS PGothic"), fallbacks);
}

QFont ms_p_gothic(qreal pointSize) {
    QFont font(kDesignedFamily);
    font.setPointSizeF(pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
