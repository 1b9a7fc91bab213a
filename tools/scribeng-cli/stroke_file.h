// The engine's text stroke format, shared by scribeng-cli, the engine's tests and its benchmark.
//
//     # a comment; blank lines are skipped
//     expect 山川          the text the strokes should give (UTF-8), optional
//     box 10 10 110 110    a guide box (left top right bottom) for guided recognition, optional
//     12,40 13,44 15,52    one stroke per line: its points as x,y pairs in canvas pixels, in writing order
//
// Every other line is a stroke; a stroke line with anything but x,y integer pairs makes the file invalid.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "contracts/scribeng.h"

namespace sw::scribeng {

struct StrokeFile {
    std::string expect;             // UTF-8, empty when not given
    std::optional<EngineRect> box;  // guide box
    std::vector<std::vector<EnginePoint>> strokes;
};

// Parses the text; nullopt (with the reason and line number in *error) for a malformed line.
std::optional<StrokeFile> parseStrokeFile(const std::string& text, std::string* error = nullptr);
std::optional<StrokeFile> readStrokeFile(const std::filesystem::path& file, std::string* error = nullptr);

}  // namespace sw::scribeng
