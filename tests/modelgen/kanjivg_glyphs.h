// KanjiVG glyphs by code point, read from the unpacked KanjiVG of the build tree, for the model generator's
// tests. A file that does not read fails the calling test and is left out.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "glyph.h"
#include "modelgen_paths.h"

namespace sw::modelgen::test {

inline std::vector<Glyph> kanjiVgGlyphs(std::u32string_view codes) {
    std::vector<Glyph> glyphs;
    for (char32_t c : codes) {
        std::string error;
        auto g = readKanjiVgFile(std::string(kKanjiVgDir) + "/" + kanjiVgFileName(c), &error);
        EXPECT_TRUE(g) << error;
        if (g) glyphs.push_back(std::move(*g));
    }
    return glyphs;
}

}  // namespace sw::modelgen::test
