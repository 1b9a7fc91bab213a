// Code page 932 decoding and encoding over arbitrary bytes: decoding agrees with the validity check, UTF-16
// and UTF-8 decoding agree, encoding any UTF-16 or UTF-8 text gives valid code page 932 with one character
// per input character, and a bounded prefix never splits a double-byte character.
//
// Input: one byte, the prefix bound; the rest is read as code page 932, as UTF-16 units and as UTF-8.
#include "platform/text/cp932.h"

#include <QString>
#include <algorithm>
#include <string>

#include "fuzz/fuzz_input.h"

namespace {

size_t characterCount(std::u16string_view units) {
    size_t count = 0;
    for (size_t i = 0; i < units.size(); ++i, ++count) {
        if (QChar::isHighSurrogate(units[i]) && i + 1 < units.size() && QChar::isLowSurrogate(units[i + 1]))
            ++i;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace sw::text;
    sw::fuzz::Input input(data, size);
    const size_t bound = input.take<uint8_t>();
    const std::string bytes(input.rest());

    const std::u16string utf16 = cp932ToUtf16(bytes);
    FUZZ_CHECK(utf16.size() <= bytes.size());
    const bool valid = isValidCp932(bytes);
    FUZZ_CHECK(valid == (utf16.find(kReplacementChar) == std::u16string::npos));
    FUZZ_CHECK(QString::fromStdU16String(utf16).toStdString() == cp932ToUtf8(bytes));

    const std::string_view prefix = cp932Prefix(bytes, bound);
    FUZZ_CHECK(prefix.size() <= bound && prefix.data() == bytes.data());
    if (valid) FUZZ_CHECK(isValidCp932(prefix));
    if (prefix.size() < std::min(bound, bytes.size())) {
        FUZZ_CHECK(prefix.size() + 1 == bound &&
                   isLeadByte(static_cast<unsigned char>(bytes[prefix.size()])));
    }

    std::u16string units(bytes.size() / 2, u'\0');
    std::copy_n(bytes.data(), units.size() * 2, reinterpret_cast<char*>(units.data()));
    const std::string encoded = utf16ToCp932(units);
    FUZZ_CHECK(isValidCp932(encoded));
    FUZZ_CHECK(cp932ToUtf16(encoded).size() == characterCount(units));
    FUZZ_CHECK(isValidCp932(utf8ToCp932(bytes)));
    return 0;
}
