// slatewise-dicgen: the board's default dictionary from EDICT.
//
//   slatewise-dicgen --edict FILE --out FILE [--max-lines N]
//
// Reads EDICT (EUC-JP, one entry per line, as Debian's edict package installs it at /usr/share/edict/edict)
// and writes the common words as dictionary lines in code page 932 (dic_builder.h), at most N lines
// (default 32767, the most the board holds). The output is written to FILE.tmp and renamed over FILE, so a
// failed run leaves no partial file. Prints what was made and dropped. Exit status 0 on success, 1 on bad
// input or a failed write, 2 on bad usage.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

#include "dic_builder.h"

namespace {

int usage() {
    std::cerr << "usage: slatewise-dicgen --edict FILE --out FILE [--max-lines N]\n";
    return 2;
}

bool writeFile(const std::filesystem::path& path, const std::string& contents) {
    const std::filesystem::path temp = path.string() + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        out.close();
        if (!out) return false;
    }
    std::error_code error;
    std::filesystem::rename(temp, path, error);
    return !error;
}

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> options;
    for (int i = 1; i < argc; i += 2) {
        const std::string name = argv[i];
        if (!name.starts_with("--") || i + 1 >= argc) return usage();
        options[name.substr(2)] = argv[i + 1];
    }
    if (!options.contains("edict") || !options.contains("out")) return usage();
    int maxLines = sw::dicgen::kMaxDictionaryLines;
    if (options.contains("max-lines")) {
        try {
            maxLines = std::stoi(options["max-lines"]);
        } catch (...) {
            return usage();
        }
        if (maxLines < 0) return usage();
    }

    std::ifstream in(options["edict"], std::ios::binary);
    if (!in) {
        std::cerr << "slatewise-dicgen: cannot read " << options["edict"] << "\n";
        return 1;
    }
    sw::dicgen::EucJpDecoder decoder;
    if (!decoder.valid()) {
        std::cerr << "slatewise-dicgen: iconv has no EUC-JP converter\n";
        return 1;
    }
    sw::dicgen::DictionaryBuilder builder(maxLines);
    std::string line;
    while (std::getline(in, line)) {
        if (const auto utf8 = decoder.decode(line)) {
            builder.addEdictLine(*utf8);
        } else {
            builder.addUndecodableLine();
        }
    }
    if (in.bad()) {
        std::cerr << "slatewise-dicgen: read error in " << options["edict"] << "\n";
        return 1;
    }

    const sw::dicgen::BuildStats& s = builder.stats();
    if (s.lines == 0) {
        std::cerr << "slatewise-dicgen: no common entries in " << options["edict"] << "\n";
        return 1;
    }
    if (!writeFile(options["out"], builder.text())) {
        std::cerr << "slatewise-dicgen: cannot write " << options["out"] << "\n";
        return 1;
    }
    std::cout << "slatewise-dicgen: " << s.lines << " lines from " << s.commonEntries << " common entries of "
              << s.edictLines << " EDICT lines (" << s.notEntries << " not entries); " << s.merged
              << " homographs merged; dropped: " << s.droppedUnmappable << " without code page 932 form, "
              << s.droppedBadKey << " with a space in a key, " << s.droppedOverLimit
              << " over the line limit\n";
    for (const std::string& example : s.droppedExamples) std::cout << "  dropped: " << example << "\n";
    return 0;
}
