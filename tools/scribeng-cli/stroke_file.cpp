#include "stroke_file.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace sw::scribeng {
namespace {

bool parseInt(std::string_view s, int32_t* out) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
    return ec == std::errc() && end == s.data() + s.size();
}

bool parseStroke(const std::string& line, std::vector<EnginePoint>* stroke) {
    std::istringstream in(line);
    std::string pair;
    while (in >> pair) {
        const auto comma = pair.find(',');
        EnginePoint p{};
        if (comma == std::string::npos || !parseInt(std::string_view(pair).substr(0, comma), &p.x) ||
            !parseInt(std::string_view(pair).substr(comma + 1), &p.y)) {
            return false;
        }
        stroke->push_back(p);
    }
    return !stroke->empty();
}

}  // namespace

std::optional<StrokeFile> parseStrokeFile(const std::string& text, std::string* error) {
    StrokeFile file;
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        if (line.compare(start, 7, "expect ") == 0) {
            file.expect = line.substr(start + 7);
            continue;
        }
        if (line.compare(start, 4, "box ") == 0) {
            std::istringstream fields(line.substr(start + 4));
            EngineRect box{};
            if (!(fields >> box.left >> box.top >> box.right >> box.bottom)) {
                if (error) *error = "line " + std::to_string(number) + ": bad box";
                return std::nullopt;
            }
            file.box = box;
            continue;
        }
        std::vector<EnginePoint> stroke;
        if (!parseStroke(line, &stroke)) {
            if (error) *error = "line " + std::to_string(number) + ": not a stroke";
            return std::nullopt;
        }
        file.strokes.push_back(std::move(stroke));
    }
    return file;
}

std::optional<StrokeFile> readStrokeFile(const std::filesystem::path& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = "cannot open " + path.string();
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parseStrokeFile(text.str(), error);
}

}  // namespace sw::scribeng
