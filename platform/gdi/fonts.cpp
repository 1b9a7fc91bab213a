#include "platform/gdi/fonts.h"

#include <algorithm>
#include <mutex>

namespace sw::gdi {

void installFaceSubstitutions() {
    static std::once_flag once;
    std::call_once(once, [] {
        const struct {
            const char16_t* face;
            const char* installed;  // fc-list family names of fonts-ipafont-mincho / -gothic
        } substitutions[] = {
            {u"ＭＳ 明朝", "IPAMincho"},        {u"MS Mincho", "IPAMincho"},
            {u"ＭＳ Ｐ明朝", "IPAPMincho"},     {u"MS PMincho", "IPAPMincho"},
            {u"ＭＳ ゴシック", "IPAGothic"},    {u"MS Gothic", "IPAGothic"},
            {u"ＭＳ Ｐゴシック", "IPAPGothic"}, {u"MS PGothic", "IPAPGothic"},
        };
        for (const auto& s : substitutions) {
            QFont::insertSubstitution(QString::fromUtf16(s.face), QString::fromLatin1(s.installed));
        }
    });
}

QFont makeFont(const QString& face, int pixelSize, bool bold) {
    installFaceSubstitutions();
    QFont font(face);
    font.setPixelSize(std::max(1, pixelSize));
    font.setBold(bold);
    return font;
}

}  // namespace sw::gdi
