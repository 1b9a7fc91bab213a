// Helpers of the fuzz targets: reading typed values from the fuzzer's bytes, and stopping on a broken
// invariant.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <type_traits>

// A broken invariant is a finding: report it and abort, so that libFuzzer keeps the input and the corpus
// replay fails.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace sw::fuzz {

// The fuzzer's bytes read from the front; once they run out every value is 0 and every span empty.
class Input {
public:
    Input(const uint8_t* data, size_t size) noexcept : m_rest(reinterpret_cast<const char*>(data), size) {}

    bool empty() const noexcept { return m_rest.empty(); }
    size_t size() const noexcept { return m_rest.size(); }

    template <typename T>
    T take() noexcept {
        static_assert(std::is_trivially_copyable_v<T>);
        T value{};
        const size_t n = m_rest.size() < sizeof value ? m_rest.size() : sizeof value;
        std::memcpy(&value, m_rest.data(), n);
        m_rest.remove_prefix(n);
        return value;
    }

    // A value in [0, bound), bound > 0, from one byte (bound ≤ 256) or four.
    uint32_t below(uint32_t bound) noexcept {
        return bound <= 256 ? take<uint8_t>() % bound : take<uint32_t>() % bound;
    }

    std::string_view bytes(size_t n) noexcept {
        const std::string_view part = m_rest.substr(0, n);
        m_rest.remove_prefix(part.size());
        return part;
    }

    // Up to the next '\n' (which is dropped), or the rest.
    std::string_view line() noexcept {
        const size_t end = m_rest.find('\n');
        const std::string_view part = m_rest.substr(0, end);
        m_rest.remove_prefix(end == std::string_view::npos ? m_rest.size() : end + 1);
        return part;
    }

    std::string_view rest() noexcept { return bytes(m_rest.size()); }

private:
    std::string_view m_rest;
};

}  // namespace sw::fuzz
