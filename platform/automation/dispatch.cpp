#include "platform/automation/dispatch.h"

#include <algorithm>
#include <new>
#include <vector>

namespace sw {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) noexcept {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// Storage of the declared type for a by-reference parameter whose caller's variable has another type.
struct RefSlot {
    int16_t i2 = 0;
    int32_t i4 = 0;
    float r4 = 0;
    double r8 = 0;
    std::u16string bstr;

    Variant refTo(VarType type) {
        switch (type) {
            case VarType::I2:
                return Variant::byRef(&i2);
            case VarType::Bool:
                return Variant::byRefBool(&i2);
            case VarType::I4:
                return Variant::byRef(&i4);
            case VarType::R4:
                return Variant::byRef(&r4);
            case VarType::R8:
                return Variant::byRef(&r8);
            case VarType::BStr:
                return Variant::byRef(&bstr);
            case VarType::Empty:
                break;
        }
        return Variant();
    }
};

// The parameters a call with these flags must match: the member's own, plus the new value of a put.
HResult checkFlags(const MemberInfo& member, uint16_t flags, bool* isPut) noexcept {
    *isPut = false;
    if (member.kind == MemberKind::Method) {
        return (flags & kInvokeMethod) && !(flags & kInvokePropertyPut) ? hr::kOk : hr::kMemberNotFound;
    }
    if (flags & kInvokePropertyPut) {
        if (member.readOnly) return hr::kMemberNotFound;
        *isPut = true;
        return hr::kOk;
    }
    return (flags & kInvokePropertyGet) ? hr::kOk : hr::kMemberNotFound;
}

}  // namespace

const MemberInfo* InterfaceInfo::find(DispId id) const noexcept {
    for (const MemberInfo& m : members)
        if (m.id == id) return &m;
    return nullptr;
}

const MemberInfo* InterfaceInfo::find(std::string_view name) const noexcept {
    for (const MemberInfo& m : members)
        if (equalsIgnoringCase(m.name, name)) return &m;
    return nullptr;
}

HResult Dispatch::idOfName(std::string_view name, DispId* id) const noexcept {
    if (!id) return hr::kInvalidArg;
    const MemberInfo* member = interfaceInfo().find(name);
    if (!member) return hr::kUnknownName;
    *id = member->id;
    return hr::kOk;
}

HResult DispatchBase::invoke(DispId id, uint16_t flags, std::span<Variant> args, Variant* result) noexcept {
    try {
        if (result) *result = Variant();
        const MemberInfo* member = interfaceInfo().find(id);
        if (!member) return hr::kMemberNotFound;
        bool isPut = false;
        if (const HResult r = checkFlags(*member, flags, &isPut); failed(r)) return r;

        // A put is the member's parameters (an indexed property's indexes) followed by the new value.
        std::vector<ParamInfo> params(member->params.begin(), member->params.end());
        if (isPut) params.push_back(ParamInfo{"value", member->type});
        const size_t required = static_cast<size_t>(
            std::count_if(params.begin(), params.end(), [](auto& p) { return !p.optional; }));
        if (args.size() < required || args.size() > params.size()) return hr::kBadParamCount;

        std::vector<Variant> passed(params.size());
        std::vector<RefSlot> slots(params.size());  // sized once: references into it stay valid
        std::vector<size_t> writeBack;
        for (size_t i = 0; i < args.size(); ++i) {
            const ParamInfo& param = params[i];
            Variant& arg = args[i];
            if (param.byRef) {
                if (!arg.isByRef()) return hr::kTypeMismatch;
                if (param.type == VarType::Empty || arg.type() == param.type) {
                    passed[i] = arg;
                    continue;
                }
                passed[i] = slots[i].refTo(param.type);
                if (const HResult r = passed[i].store(arg.dereferenced()); failed(r)) return r;
                writeBack.push_back(i);
            } else if (param.type == VarType::Empty) {
                passed[i] = arg.dereferenced();
            } else if (const HResult r = arg.coerce(param.type, &passed[i]); failed(r)) {
                return r;
            }
        }

        Variant value;
        const HResult r = invokeMember(*member, flags, passed, &value);
        for (size_t i : writeBack) {
            if (const HResult w = args[i].store(passed[i].dereferenced()); failed(w)) return w;
        }
        if (failed(r)) return r;
        if (result && !value.isEmpty() && member->type != VarType::Empty && value.type() != member->type) {
            return value.dereferenced().coerce(member->type, result);
        }
        if (result) *result = value.dereferenced();
        return r;
    } catch (const std::bad_alloc&) {
        return hr::kOutOfMemory;
    } catch (...) {
        return hr::kException;
    }
}

}  // namespace sw
