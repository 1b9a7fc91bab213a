// Pattern files as the pattern utility walks them: stroke and list blocks read with a running Pointer from
// arbitrary bytes, and every block read re-encoded to the very bytes it came from.
//
// Input: one byte whose bits choose the kind of up to eight blocks (set: list block), a 32-bit Pointer to
// probe once, then the file.
#include "penmate/pattern_file.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "records/handle_table.h"

namespace {

class Lines final : public penmate::LineSource {
public:
    explicit Lines(const std::vector<std::string>& lines) : m_lines(lines) {}
    int32_t lineCount() const override { return static_cast<int32_t>(m_lines.size()); }
    std::optional<std::string> line(int32_t index) const override {
        if (index < 0 || index >= lineCount()) return std::nullopt;
        return m_lines[static_cast<size_t>(index)];
    }

private:
    const std::vector<std::string>& m_lines;
};

// Reads one block of the chosen kind at `pointer`; returns the position behind it, or -1 when there is no
// whole block. A stroke block encodes back to the very bytes it was read from; a list block to a block of
// the same size that reads back to the same lines (the byte behind each text is not looked at when reading,
// and a writer always writes 0 there).
int64_t readBlock(std::span<const uint8_t> file, bool list, int32_t pointer) {
    penmate::MemorySource source(file);
    std::optional<penmate::Bytes> encoded;
    int32_t end = 0;
    if (list) {
        const auto loaded = penmate::loadListBlock(source, pointer);
        if (!loaded) return -1;
        end = loaded->pointer;
        encoded = penmate::encodeListBlock(Lines(loaded->lines));
        FUZZ_CHECK(encoded);
        penmate::MemorySource again(*encoded);
        const auto reread = penmate::loadListBlock(again, 0);
        FUZZ_CHECK(reread && reread->lines == loaded->lines);
    } else {
        const penmate::LoadedStrokes loaded = penmate::loadStrokeBlock(source, pointer);
        if (loaded.status != penmate::LoadedStrokes::Status::Block) {
            FUZZ_CHECK(loaded.strokeData == sw::kNullHandle);
            return -1;
        }
        end = loaded.pointer;
        FUZZ_CHECK((loaded.num == 0) == (loaded.strokeData == sw::kNullHandle));
        encoded = penmate::encodeStrokeBlock(loaded.strokeData, loaded.num);
        if (loaded.strokeData != sw::kNullHandle)
            FUZZ_CHECK(sw::freeBlock(loaded.strokeData, sw::Owner::Penmate));
        FUZZ_CHECK(encoded && std::equal(encoded->begin(), encoded->end(), file.begin() + pointer));
    }
    FUZZ_CHECK(pointer >= 0 && end > pointer && static_cast<size_t>(end) <= file.size());
    FUZZ_CHECK(encoded->size() == static_cast<size_t>(end - pointer));
    return end;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sw::fuzz::Input input(data, size);
    const auto kinds = input.take<uint8_t>();
    const auto probe = input.take<int32_t>();
    const std::string_view rest = input.rest();
    const std::span<const uint8_t> file(reinterpret_cast<const uint8_t*>(rest.data()), rest.size());
    const size_t blocksBefore = sw::liveBlockCount();

    int64_t pointer = 0;
    for (int k = 0; k < 8 && pointer >= 0; ++k)
        pointer = readBlock(file, (kinds >> k) & 1, static_cast<int32_t>(pointer));
    readBlock(file, kinds & 1, probe);
    FUZZ_CHECK(sw::liveBlockCount() == blocksBefore);
    return 0;
}
