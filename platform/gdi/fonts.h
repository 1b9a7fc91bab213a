// Face names: the Windows faces the system names map to the installed IPA faces.
#pragma once

#include <QFont>
#include <QString>

namespace sw::gdi {

// Installs the substitutions once per process (idempotent): "ＭＳ 明朝", "MS Mincho" -> IPAMincho;
// "ＭＳ Ｐ明朝" -> IPAPMincho; "ＭＳ ゴシック", "MS Gothic" -> IPAGothic; "ＭＳ Ｐゴシック" -> IPAPGothic.
// Needs a QGuiApplication.
void installFaceSubstitutions();

// A font of `face` at `pixelSize`, weight bold when requested, substitution applied.
QFont makeFont(const QString& face, int pixelSize, bool bold = false);

}  // namespace sw::gdi
