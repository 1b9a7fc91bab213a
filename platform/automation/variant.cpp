#include "platform/automation/variant.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace sw {
namespace {

// Rounds to the nearest integer, halves to even, independent of the floating-point environment.
double roundHalfEven(double x) noexcept {
    const double floor = std::floor(x);
    const double diff = x - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

template <typename Int>
HResult floatToInt(double x, Int* out) noexcept {
    if (std::isnan(x)) return hr::kOverflow;
    const double r = roundHalfEven(x);
    if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        return hr::kOverflow;
    *out = static_cast<Int>(r);
    return hr::kOk;
}

template <typename Int>
HResult intToInt(int64_t x, Int* out) noexcept {
    if (x < std::numeric_limits<Int>::min() || x > std::numeric_limits<Int>::max()) return hr::kOverflow;
    *out = static_cast<Int>(x);
    return hr::kOk;
}

// Decimal text of a float type, the shortest form that reads back to the same value.
template <typename Float>
std::u16string floatText(Float v) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::u16string(buffer, ec == std::errc() ? end : buffer);
}

std::u16string asciiText(const std::string& s) { return std::u16string(s.begin(), s.end()); }

}  // namespace

Variant Variant::fromBool(bool v) noexcept {
    Variant result;
    result.m_type = VarType::Bool;
    result.m_value = v ? kVariantTrue : kVariantFalse;
    return result;
}

template <typename T>
Variant Variant::makeRef(VarType type, T* target) noexcept {
    Variant result;  // a null target gives Empty, which no by-reference parameter accepts
    if (!target) return result;
    result.m_type = type;
    result.m_byRef = true;
    result.m_value = target;
    return result;
}

Variant Variant::byRef(int16_t* target) noexcept { return makeRef(VarType::I2, target); }
Variant Variant::byRef(int32_t* target) noexcept { return makeRef(VarType::I4, target); }
Variant Variant::byRef(float* target) noexcept { return makeRef(VarType::R4, target); }
Variant Variant::byRef(double* target) noexcept { return makeRef(VarType::R8, target); }
Variant Variant::byRef(std::u16string* target) noexcept { return makeRef(VarType::BStr, target); }
Variant Variant::byRefBool(int16_t* target) noexcept { return makeRef(VarType::Bool, target); }

Variant Variant::dereferenced() const {
    if (!m_byRef) return *this;
    switch (m_type) {
        case VarType::I2:
            return Variant(*std::get<int16_t*>(m_value));
        case VarType::Bool:
            return fromBool(*std::get<int16_t*>(m_value) != 0);
        case VarType::I4:
            return Variant(*std::get<int32_t*>(m_value));
        case VarType::R4:
            return Variant(*std::get<float*>(m_value));
        case VarType::R8:
            return Variant(*std::get<double*>(m_value));
        case VarType::BStr:
            return Variant(*std::get<std::u16string*>(m_value));
        case VarType::Empty:
            break;
    }
    return Variant();
}

// The numeric reads share one path: the source as an exact integer, or as a double for the float types.
HResult Variant::toI2(int16_t* out) const noexcept {
    int32_t wide = 0;
    if (m_type == VarType::R4 || m_type == VarType::R8) {
        double d = 0;
        toR8(&d);
        return floatToInt(d, out);
    }
    const HResult r = toI4(&wide);
    if (failed(r)) return r;
    return intToInt<int16_t>(wide, out);
}

HResult Variant::toI4(int32_t* out) const noexcept {
    const bool ref = m_byRef;
    switch (m_type) {
        case VarType::Empty:
            *out = 0;
            return hr::kOk;
        case VarType::I2:
            *out = ref ? *std::get<int16_t*>(m_value) : std::get<int16_t>(m_value);
            return hr::kOk;
        case VarType::Bool:
            *out = (ref ? *std::get<int16_t*>(m_value) : std::get<int16_t>(m_value)) != 0 ? kVariantTrue
                                                                                          : kVariantFalse;
            return hr::kOk;
        case VarType::I4:
            *out = ref ? *std::get<int32_t*>(m_value) : std::get<int32_t>(m_value);
            return hr::kOk;
        case VarType::R4:
            return floatToInt<int32_t>(ref ? *std::get<float*>(m_value) : std::get<float>(m_value), out);
        case VarType::R8:
            return floatToInt<int32_t>(ref ? *std::get<double*>(m_value) : std::get<double>(m_value), out);
        case VarType::BStr:
            break;
    }
    return hr::kTypeMismatch;
}

HResult Variant::toR8(double* out) const noexcept {
    if (m_type == VarType::R4) {
        *out = m_byRef ? *std::get<float*>(m_value) : std::get<float>(m_value);
        return hr::kOk;
    }
    if (m_type == VarType::R8) {
        *out = m_byRef ? *std::get<double*>(m_value) : std::get<double>(m_value);
        return hr::kOk;
    }
    int32_t i = 0;
    const HResult r = toI4(&i);
    if (succeeded(r)) *out = i;
    return r;
}

HResult Variant::toR4(float* out) const noexcept {
    double d = 0;
    const HResult r = toR8(&d);
    if (failed(r)) return r;
    if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) return hr::kOverflow;
    *out = static_cast<float>(d);
    return hr::kOk;
}

HResult Variant::toBool(bool* out) const noexcept {
    double d = 0;
    const HResult r = toR8(&d);
    if (succeeded(r)) *out = d != 0.0;
    return r;
}

HResult Variant::toBStr(std::u16string* out) const {
    switch (m_type) {
        case VarType::Empty:
            out->clear();
            return hr::kOk;
        case VarType::BStr:
            *out = m_byRef ? *std::get<std::u16string*>(m_value) : std::get<std::u16string>(m_value);
            return hr::kOk;
        case VarType::R4:
            *out = floatText(m_byRef ? *std::get<float*>(m_value) : std::get<float>(m_value));
            return hr::kOk;
        case VarType::R8:
            *out = floatText(m_byRef ? *std::get<double*>(m_value) : std::get<double>(m_value));
            return hr::kOk;
        case VarType::I2:
        case VarType::I4:
        case VarType::Bool: {
            int32_t i = 0;
            toI4(&i);
            *out = asciiText(std::to_string(i));
            return hr::kOk;
        }
    }
    return hr::kTypeMismatch;
}

HResult Variant::coerce(VarType type, Variant* out) const {
    HResult r = hr::kTypeMismatch;
    switch (type) {
        case VarType::Empty:
            *out = Variant();
            return hr::kOk;
        case VarType::I2: {
            int16_t v = 0;
            if (succeeded(r = toI2(&v))) *out = Variant(v);
            return r;
        }
        case VarType::I4: {
            int32_t v = 0;
            if (succeeded(r = toI4(&v))) *out = Variant(v);
            return r;
        }
        case VarType::R4: {
            float v = 0;
            if (succeeded(r = toR4(&v))) *out = Variant(v);
            return r;
        }
        case VarType::R8: {
            double v = 0;
            if (succeeded(r = toR8(&v))) *out = Variant(v);
            return r;
        }
        case VarType::Bool: {
            bool v = false;
            if (succeeded(r = toBool(&v))) *out = fromBool(v);
            return r;
        }
        case VarType::BStr: {
            std::u16string v;
            if (succeeded(r = toBStr(&v))) *out = Variant(std::move(v));
            return r;
        }
    }
    return r;
}

int16_t Variant::i2() const noexcept {
    int16_t v = 0;
    return succeeded(toI2(&v)) ? v : 0;
}

int32_t Variant::i4() const noexcept {
    int32_t v = 0;
    return succeeded(toI4(&v)) ? v : 0;
}

float Variant::r4() const noexcept {
    float v = 0;
    return succeeded(toR4(&v)) ? v : 0.0f;
}

double Variant::r8() const noexcept {
    double v = 0;
    return succeeded(toR8(&v)) ? v : 0.0;
}

bool Variant::boolean() const noexcept {
    bool v = false;
    return succeeded(toBool(&v)) && v;
}

std::u16string Variant::bstr() const {
    std::u16string v;
    return succeeded(toBStr(&v)) ? v : std::u16string();
}

HResult Variant::store(const Variant& value) {
    if (!m_byRef) return hr::kTypeMismatch;
    Variant converted;
    const HResult r = value.coerce(m_type, &converted);
    if (failed(r)) return r;
    switch (m_type) {
        case VarType::I2:
        case VarType::Bool:
            *std::get<int16_t*>(m_value) = std::get<int16_t>(converted.m_value);
            break;
        case VarType::I4:
            *std::get<int32_t*>(m_value) = std::get<int32_t>(converted.m_value);
            break;
        case VarType::R4:
            *std::get<float*>(m_value) = std::get<float>(converted.m_value);
            break;
        case VarType::R8:
            *std::get<double*>(m_value) = std::get<double>(converted.m_value);
            break;
        case VarType::BStr:
            *std::get<std::u16string*>(m_value) = std::move(std::get<std::u16string>(converted.m_value));
            break;
        case VarType::Empty:
            return hr::kTypeMismatch;
    }
    return hr::kOk;
}

bool Variant::operator==(const Variant& other) const {
    return m_type == other.m_type && m_byRef == other.m_byRef && m_value == other.m_value;
}

}  // namespace sw
