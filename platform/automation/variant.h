// Automation values: the arguments and results of dispatch calls and events.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "platform/automation/hresult.h"

namespace sw {

enum class VarType : uint16_t {
    Empty = 0,
    I2 = 2,
    I4 = 3,
    R4 = 4,
    R8 = 5,
    BStr = 8,
    Bool = 11,
};

// Automation booleans: true is -1, false is 0.
inline constexpr int16_t kVariantTrue = -1;
inline constexpr int16_t kVariantFalse = 0;

// A value of one of the types above, or a reference to a caller's variable of one of them (an out or in/out
// parameter). A by-reference Variant does not own its target; the target must outlive the call.
//
// Coercion follows automation rules: integers and floats convert among each other (floats round to nearest,
// halves to even; out of range is kOverflow), booleans convert to -1/0 and any non-zero number to true,
// Empty reads as 0, false or "". A string is never accepted where a number or boolean is due (kTypeMismatch),
// while a number or boolean converts to its decimal text where a string is due.
class Variant {
public:
    Variant() noexcept = default;
    Variant(int16_t v) noexcept : m_type(VarType::I2), m_value(v) {}
    Variant(int32_t v) noexcept : m_type(VarType::I4), m_value(v) {}
    Variant(float v) noexcept : m_type(VarType::R4), m_value(v) {}
    Variant(double v) noexcept : m_type(VarType::R8), m_value(v) {}
    Variant(std::u16string v) : m_type(VarType::BStr), m_value(std::move(v)) {}
    Variant(std::u16string_view v) : Variant(std::u16string(v)) {}
    Variant(const char16_t* v) : Variant(std::u16string(v)) {}
    Variant(bool) = delete;  // use fromBool: a bare bool is ambiguous between Bool and a number
    static Variant fromBool(bool v) noexcept;

    // References to the caller's storage. byRefBool targets an automation boolean (-1/0). A null target gives
    // an Empty Variant (not by reference).
    static Variant byRef(int16_t* target) noexcept;
    static Variant byRef(int32_t* target) noexcept;
    static Variant byRef(float* target) noexcept;
    static Variant byRef(double* target) noexcept;
    static Variant byRef(std::u16string* target) noexcept;
    static Variant byRefBool(int16_t* target) noexcept;

    VarType type() const noexcept { return m_type; }
    bool isByRef() const noexcept { return m_byRef; }
    bool isEmpty() const noexcept { return m_type == VarType::Empty; }

    // Reads the value (through the reference for a by-reference Variant) coerced to the requested type.
    HResult toI2(int16_t* out) const noexcept;
    HResult toI4(int32_t* out) const noexcept;
    HResult toR4(float* out) const noexcept;
    HResult toR8(double* out) const noexcept;
    HResult toBool(bool* out) const noexcept;
    HResult toBStr(std::u16string* out) const;

    // The value coerced to `type` as a new by-value Variant.
    HResult coerce(VarType type, Variant* out) const;

    // Unchecked conveniences for values already known to be of the type (after DispatchBase's checks):
    // they coerce and return 0 / false / "" on failure.
    int16_t i2() const noexcept;
    int32_t i4() const noexcept;
    float r4() const noexcept;
    double r8() const noexcept;
    bool boolean() const noexcept;
    std::u16string bstr() const;

    // Writes through a by-reference Variant, coercing `value` to the target's type. kTypeMismatch when this
    // Variant is not by reference or the value does not coerce.
    HResult store(const Variant& value);

    // A by-value copy of what this Variant holds or refers to.
    Variant dereferenced() const;

    bool operator==(const Variant& other) const;

private:
    template <typename T>
    static Variant makeRef(VarType type, T* target) noexcept;

    VarType m_type = VarType::Empty;
    bool m_byRef = false;
    std::variant<std::monostate, int16_t, int32_t, float, double, std::u16string, int16_t*, int32_t*, float*,
                 double*, std::u16string*>
        m_value;
};

}  // namespace sw
