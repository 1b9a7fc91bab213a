// The property bag's text form: any text is read; what is read writes out and reads back to the same values,
// and every value loads through each exchange type and saves and loads back to what was loaded.
#include "platform/automation/property_bag.h"

#include <cmath>
#include <string>

#include "fuzz/fuzz_input.h"

namespace {

using sw::ExchangeMode;
using sw::PropertyBag;
using sw::PropExchange;

struct Values {
    int32_t l = 0;
    int16_t s = 0;
    bool b = false;
    float f = 0;
    uint32_t c = 0;
    std::string text;

    // Every type under `name`, or with `split` each under a name of its own.
    void exchange(PropExchange& ex, const std::string& name, bool split) {
        const auto n = [&](const char* suffix) { return split ? name + suffix : name; };
        ex.exLong(n("l"), l, 7);
        ex.exShort(n("s"), s, 7);
        ex.exBool(n("b"), b, true);
        ex.exFloat(n("f"), f, 7.5f);
        ex.exColor(n("c"), c, 0x80000005);
        ex.exString(n("t"), text, "\x82\xa0");
    }
    bool operator==(const Values& o) const {
        const bool sameFloat = std::isnan(f) ? std::isnan(o.f) : f == o.f;
        return l == o.l && s == o.s && b == o.b && sameFloat && c == o.c && text == o.text;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const PropertyBag bag = PropertyBag::fromText({reinterpret_cast<const char*>(data), size});
    const std::string text = bag.toText();
    const PropertyBag again = PropertyBag::fromText(text);
    FUZZ_CHECK(again.toText() == text);
    for (const auto& [name, value] : again.values()) FUZZ_CHECK(bag.read(name) == value);

    PropertyBag loadBag = bag;
    PropExchange load(ExchangeMode::Load, &loadBag);
    load.exVersion(1, 0);
    for (const auto& [name, value] : bag.values()) {
        Values loaded;
        loaded.exchange(load, name, false);
        PropertyBag saved;
        PropExchange save(ExchangeMode::Save, &saved);
        loaded.exchange(save, name, true);
        Values reloaded;
        PropExchange reload(ExchangeMode::Load, &saved);
        reloaded.exchange(reload, name, true);
        FUZZ_CHECK(reloaded == loaded);
    }
    return 0;
}
