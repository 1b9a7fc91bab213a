// Late-bound calls by dispatch id: static type information, the Dispatch interface, and DispatchBase, which
// checks and coerces arguments before a control's own code sees them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/automation/hresult.h"
#include "platform/automation/variant.h"

namespace sw {

using DispId = int32_t;

// Invoke flags; a property get and a method call may be combined (as automation allows for calls without
// parentheses).
enum InvokeFlags : uint16_t {
    kInvokeMethod = 1,
    kInvokePropertyGet = 2,
    kInvokePropertyPut = 4,
};

enum class MemberKind : uint8_t { Method, Property };

// A parameter of type Empty takes any by-value argument unchanged. Optional parameters come last; a call may
// leave them out.
struct ParamInfo {
    std::string_view name;
    VarType type;
    bool byRef = false;
    bool optional = false;
};

// One member of a dispatch or event interface. For a method, `type` is the result type (Empty for none); for
// a property it is the property's type. Tables are static constexpr arrays in the control's source.
struct MemberInfo {
    DispId id;
    std::string_view name;
    MemberKind kind;
    VarType type;
    std::span<const ParamInfo> params = {};
    bool readOnly = false;
};

struct InterfaceInfo {
    std::string_view name;  // e.g. "_DPenmate"
    std::span<const MemberInfo> members;

    const MemberInfo* find(DispId id) const noexcept;
    // By name, ignoring case as automation does.
    const MemberInfo* find(std::string_view name) const noexcept;
};

// A late-bound interface. Arguments are in parameter order (first parameter first). A property put passes the
// new value as its only argument.
class Dispatch {
public:
    virtual ~Dispatch() = default;
    virtual const InterfaceInfo& interfaceInfo() const noexcept = 0;
    virtual HResult invoke(DispId id, uint16_t flags, std::span<Variant> args, Variant* result) noexcept = 0;

    HResult idOfName(std::string_view name, DispId* id) const noexcept;

    // Conveniences for callers.
    HResult get(DispId id, Variant* result) noexcept { return invoke(id, kInvokePropertyGet, {}, result); }
    HResult put(DispId id, Variant value) noexcept {
        return invoke(id, kInvokePropertyPut, {&value, 1}, nullptr);
    }
    HResult call(DispId id, std::span<Variant> args, Variant* result = nullptr) noexcept {
        return invoke(id, kInvokeMethod, args, result);
    }
};

// Implements invoke() over a static InterfaceInfo:
//   - unknown id: kMemberNotFound; a put to a read-only property or a method called as a property, and the
//     other way round: kMemberNotFound;
//   - wrong number of arguments (fewer than the required ones, more than all): kBadParamCount;
//   - an argument that does not coerce to its parameter's type: kTypeMismatch (kOverflow when out of range);
//   - a by-reference parameter given a by-value argument: kTypeMismatch;
//   - anything thrown by invokeMember: kException (nothing escapes).
// invokeMember then receives exactly the declared types: by-value arguments coerced, by-reference parameters
// as by-reference Variants of the declared type (a caller's reference of another type is replaced by a
// temporary, written back with coercion after the call; kOverflow or kTypeMismatch when the caller's variable
// cannot hold the value written), and Empty Variants for left-out optional parameters. `result` is never null
// and Empty on entry; a non-Empty result is coerced to the member's declared type before the caller sees it.
class DispatchBase : public Dispatch {
public:
    HResult invoke(DispId id, uint16_t flags, std::span<Variant> args, Variant* result) noexcept final;

protected:
    virtual HResult invokeMember(const MemberInfo& member, uint16_t flags, std::span<Variant> args,
                                 Variant* result) = 0;
};

}  // namespace sw
