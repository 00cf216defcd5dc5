#pragma once

#include <QFont>

// The designed font "ＭＳ Ｐゴシック"; on systems without it Qt substitutes IPAPGothic (the same design)
// or another Japanese sans-serif font, so Japanese text always renders.
void install_japanese_font_substitutions();
QFont ms_p_gothic(qreal pointSize);
