#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "platform/automation/dispatch.h"

using sw::DispId;
using sw::MemberInfo;
using sw::MemberKind;
using sw::ParamInfo;
using sw::Variant;
using sw::VarType;
namespace hr = sw::hr;

namespace {

enum : DispId { kCount = 1, kName = 2, kAdd = 3, kSplit = 4, kThrow = 5, kScale = 6, kPad = 7, kBig = 8 };

constexpr ParamInfo kAddParams[] = {{"a", VarType::I2}, {"b", VarType::I4}};
constexpr ParamInfo kSplitParams[] = {
    {"value", VarType::R8}, {"whole", VarType::I4, true}, {"fraction", VarType::R8, true}};
constexpr ParamInfo kPadParams[] = {{"text", VarType::BStr}, {"width", VarType::I2, false, true}};
constexpr ParamInfo kBigParams[] = {{"out", VarType::I4, true}};

constexpr MemberInfo kMembers[] = {
    {kCount, "Count", MemberKind::Property, VarType::I4},
    {kName, "Name", MemberKind::Property, VarType::BStr, {}, true},
    {kAdd, "Add", MemberKind::Method, VarType::I4, kAddParams},
    {kSplit, "Split", MemberKind::Method, VarType::Bool, kSplitParams},
    {kThrow, "Throw", MemberKind::Method, VarType::Empty},
    {kScale, "Scale", MemberKind::Property, VarType::I2},
    {kPad, "Pad", MemberKind::Method, VarType::BStr, kPadParams},
    {kBig, "Big", MemberKind::Method, VarType::Empty, kBigParams},
};
constexpr sw::InterfaceInfo kInterface{"_DSample", kMembers};

class Sample final : public sw::DispatchBase {
public:
    const sw::InterfaceInfo& interfaceInfo() const noexcept override { return kInterface; }

    int32_t count = 0;
    std::vector<VarType> seenTypes;
    std::vector<bool> seenByRef;

protected:
    sw::HResult invokeMember(const MemberInfo& member, uint16_t flags, std::span<Variant> args,
                             Variant* result) override {
        seenTypes.clear();
        seenByRef.clear();
        for (const Variant& a : args) {
            seenTypes.push_back(a.type());
            seenByRef.push_back(a.isByRef());
        }
        switch (member.id) {
            case kCount:
                if (flags & sw::kInvokePropertyPut)
                    count = args[0].i4();
                else
                    *result = Variant(count);
                return hr::kOk;
            case kName:
                *result = Variant(u"sample");
                return hr::kOk;
            case kAdd:
                *result = Variant(args[0].i2() + args[1].i4());
                return hr::kOk;
            case kSplit: {
                const double v = args[0].r8();
                args[1].store(Variant(static_cast<int32_t>(std::trunc(v))));
                args[2].store(Variant(v - std::trunc(v)));
                *result = Variant::fromBool(true);
                return hr::kOk;
            }
            case kThrow:
                throw std::runtime_error("inside the member");
            case kScale:
                *result = Variant(int32_t{7});  // wider than declared; the caller sees I2
                return hr::kOk;
            case kPad: {
                std::u16string text = args[0].bstr();
                if (!args[1].isEmpty()) text.resize(static_cast<size_t>(args[1].i2()), u' ');
                *result = Variant(text);
                return hr::kOk;
            }
            case kBig:
                args[0].store(Variant(int32_t{100000}));
                return hr::kOk;
        }
        return hr::kMemberNotFound;
    }
};

TEST(Dispatch, ErrorsAreReturnedNotThrown) {
    Sample s;
    Variant result;
    std::vector<Variant> two{Variant(int16_t{1}), Variant(int32_t{2})};
    std::vector<Variant> one{Variant(int16_t{1})};
    struct Row {
        const char* label;
        DispId id;
        uint16_t flags;
        std::vector<Variant> args;
        sw::HResult expected;
    };
    const Row rows[] = {
        {"unknown id", 99, sw::kInvokeMethod, {}, hr::kMemberNotFound},
        {"too few", kAdd, sw::kInvokeMethod, one, hr::kBadParamCount},
        {"too many", kAdd, sw::kInvokeMethod, {Variant(1), Variant(2), Variant(3)}, hr::kBadParamCount},
        {"string for number", kAdd, sw::kInvokeMethod, {Variant(u"1"), Variant(2)}, hr::kTypeMismatch},
        {"I2 overflow", kAdd, sw::kInvokeMethod, {Variant(40000), Variant(2)}, hr::kOverflow},
        {"put read-only", kName, sw::kInvokePropertyPut, {Variant(u"x")}, hr::kMemberNotFound},
        {"method as property", kAdd, sw::kInvokePropertyGet, two, hr::kMemberNotFound},
        {"property as method", kCount, sw::kInvokeMethod, {}, hr::kMemberNotFound},
        {"get with argument", kCount, sw::kInvokePropertyGet, one, hr::kBadParamCount},
        {"put without value", kCount, sw::kInvokePropertyPut, {}, hr::kBadParamCount},
        {"by value for by-ref",
         kSplit,
         sw::kInvokeMethod,
         {Variant(1.5), Variant(0), Variant(0.0)},
         hr::kTypeMismatch},
        {"thrown", kThrow, sw::kInvokeMethod, {}, hr::kException},
        {"optional left out, too few", kPad, sw::kInvokeMethod, {}, hr::kBadParamCount},
    };
    for (const Row& row : rows) {
        auto args = row.args;
        EXPECT_EQ(s.invoke(row.id, row.flags, args, &result), row.expected) << row.label;
        EXPECT_TRUE(result.isEmpty()) << row.label;
    }
}

TEST(Dispatch, CoercesArgumentsToDeclaredTypes) {
    Sample s;
    std::vector<Variant> args{Variant(2.5), Variant::fromBool(true)};
    Variant result;
    ASSERT_EQ(s.call(kAdd, args, &result), hr::kOk);
    EXPECT_EQ(s.seenTypes, (std::vector<VarType>{VarType::I2, VarType::I4}));
    EXPECT_TRUE(result == Variant(int32_t{1}));  // 2 (half to even) + -1

    int16_t byRefIn = 4;  // a reference where a value is due is read through
    std::vector<Variant> refArgs{Variant::byRef(&byRefIn), Variant(int32_t{1})};
    ASSERT_EQ(s.call(kAdd, refArgs, &result), hr::kOk);
    EXPECT_EQ(s.seenByRef, (std::vector<bool>{false, false}));
    EXPECT_TRUE(result == Variant(int32_t{5}));

    ASSERT_EQ(s.put(kCount, Variant(int16_t{9})), hr::kOk);
    EXPECT_EQ(s.count, 9);
    ASSERT_EQ(s.get(kScale, &result), hr::kOk);
    EXPECT_TRUE(result == Variant(int16_t{7})) << "results take the declared type";

    // A get combined with a method call (a call without parentheses) reads the property.
    ASSERT_EQ(s.invoke(kCount, sw::kInvokeMethod | sw::kInvokePropertyGet, {}, &result), hr::kOk);
    EXPECT_TRUE(result == Variant(int32_t{9}));
}

TEST(Dispatch, ByRefOfAnotherTypeIsWrittenBackCoerced) {
    Sample s;
    int16_t whole = -1;  // declared I4
    float fraction = 0;  // declared R8
    std::vector<Variant> args{Variant(7.25), Variant::byRef(&whole), Variant::byRef(&fraction)};
    Variant result;
    ASSERT_EQ(s.call(kSplit, args, &result), hr::kOk);
    EXPECT_EQ(s.seenTypes, (std::vector<VarType>{VarType::R8, VarType::I4, VarType::R8}));
    EXPECT_EQ(s.seenByRef, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(whole, 7);
    EXPECT_FLOAT_EQ(fraction, 0.25f);
    EXPECT_TRUE(result == Variant::fromBool(true));

    int32_t exact = 0;
    double exactFraction = 0;
    std::vector<Variant> same{Variant(-3.5), Variant::byRef(&exact), Variant::byRef(&exactFraction)};
    ASSERT_EQ(s.call(kSplit, same), hr::kOk);
    EXPECT_EQ(exact, -3);
    EXPECT_DOUBLE_EQ(exactFraction, -0.5);
}

TEST(Dispatch, WriteBackThatDoesNotFitIsReported) {
    Sample s;
    int16_t small = 5;
    std::vector<Variant> args{Variant::byRef(&small)};
    EXPECT_EQ(s.call(kBig, args), hr::kOverflow);
    EXPECT_EQ(small, 5);

    std::u16string text = u"12";
    std::vector<Variant> textArgs{Variant::byRef(&text)};
    EXPECT_EQ(s.call(kBig, textArgs), hr::kTypeMismatch) << "a string's value never reads as a number";
}

TEST(Dispatch, OptionalParametersArriveEmpty) {
    Sample s;
    Variant result;
    std::vector<Variant> one{Variant(u"ab")};
    ASSERT_EQ(s.call(kPad, one, &result), hr::kOk);
    EXPECT_TRUE(result == Variant(u"ab"));
    EXPECT_EQ(s.seenTypes, (std::vector<VarType>{VarType::BStr, VarType::Empty}));
    std::vector<Variant> two{Variant(u"ab"), Variant(4.0)};
    ASSERT_EQ(s.call(kPad, two, &result), hr::kOk);
    EXPECT_TRUE(result == Variant(u"ab  "));
}

TEST(Dispatch, NamesResolveIgnoringCase) {
    Sample s;
    DispId id = 0;
    EXPECT_EQ(s.idOfName("sPLIT", &id), hr::kOk);
    EXPECT_EQ(id, kSplit);
    EXPECT_EQ(s.idOfName("Splits", &id), hr::kUnknownName);
}

}  // namespace
