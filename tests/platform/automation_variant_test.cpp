#include <gtest/gtest.h>

#include <limits>

#include "platform/automation/variant.h"

using sw::Variant;
using sw::VarType;
namespace hr = sw::hr;

namespace {

struct CoercionRow {
    const char* label;
    Variant from;
    VarType to;
    sw::HResult expected;
    Variant result;  // when expected succeeds
};

void PrintTo(const CoercionRow& row, std::ostream* os) { *os << row.label; }

class VariantCoercion : public ::testing::TestWithParam<CoercionRow> {};

TEST_P(VariantCoercion, FollowsAutomationRules) {
    const CoercionRow& row = GetParam();
    Variant out;
    EXPECT_EQ(row.from.coerce(row.to, &out), row.expected);
    if (sw::succeeded(row.expected)) {
        EXPECT_TRUE(out == row.result);
    }
}

const CoercionRow kRows[] = {
    {"I4 in I2 range", Variant(int32_t{-32768}), VarType::I2, hr::kOk, Variant(int16_t{-32768})},
    {"I4 above I2", Variant(int32_t{32768}), VarType::I2, hr::kOverflow, {}},
    {"I4 below I2", Variant(int32_t{-32769}), VarType::I2, hr::kOverflow, {}},
    {"I2 widens", Variant(int16_t{-5}), VarType::I4, hr::kOk, Variant(int32_t{-5})},
    {"R8 2.5 to even", Variant(2.5), VarType::I4, hr::kOk, Variant(int32_t{2})},
    {"R8 3.5 to even", Variant(3.5), VarType::I4, hr::kOk, Variant(int32_t{4})},
    {"R8 -2.5 to even", Variant(-2.5), VarType::I4, hr::kOk, Variant(int32_t{-2})},
    {"R8 2.500001 up", Variant(2.500001), VarType::I4, hr::kOk, Variant(int32_t{3})},
    {"R8 -0.4", Variant(-0.4), VarType::I2, hr::kOk, Variant(int16_t{0})},
    {"R8 32767.5 overflows I2", Variant(32767.5), VarType::I2, hr::kOverflow, {}},
    {"R8 32766.5 stays", Variant(32766.5), VarType::I2, hr::kOk, Variant(int16_t{32766})},
    {"R8 above I4", Variant(2147483647.5), VarType::I4, hr::kOverflow, {}},
    {"R8 NaN", Variant(std::numeric_limits<double>::quiet_NaN()), VarType::I4, hr::kOverflow, {}},
    {"R4 1.5 to I4", Variant(1.5f), VarType::I4, hr::kOk, Variant(int32_t{2})},
    {"R8 to R4 overflow", Variant(1e300), VarType::R4, hr::kOverflow, {}},
    {"R8 to R4", Variant(0.5), VarType::R4, hr::kOk, Variant(0.5f)},
    {"BSTR refused for I4", Variant(u"12"), VarType::I4, hr::kTypeMismatch, {}},
    {"BSTR refused for R8", Variant(u"1.5"), VarType::R8, hr::kTypeMismatch, {}},
    {"BSTR refused for Bool", Variant(u"True"), VarType::Bool, hr::kTypeMismatch, {}},
    {"true is -1", Variant::fromBool(true), VarType::I4, hr::kOk, Variant(int32_t{-1})},
    {"false is 0", Variant::fromBool(false), VarType::I2, hr::kOk, Variant(int16_t{0})},
    {"non-zero is true", Variant(int32_t{7}), VarType::Bool, hr::kOk, Variant::fromBool(true)},
    {"0.0 is false", Variant(0.0), VarType::Bool, hr::kOk, Variant::fromBool(false)},
    {"Empty reads 0", Variant(), VarType::I4, hr::kOk, Variant(int32_t{0})},
    {"Empty reads \"\"", Variant(), VarType::BStr, hr::kOk, Variant(u"")},
    {"I4 to text", Variant(int32_t{-42}), VarType::BStr, hr::kOk, Variant(u"-42")},
    {"R8 to text", Variant(0.1), VarType::BStr, hr::kOk, Variant(u"0.1")},
    {"true to text", Variant::fromBool(true), VarType::BStr, hr::kOk, Variant(u"-1")},
};

INSTANTIATE_TEST_SUITE_P(Table, VariantCoercion, ::testing::ValuesIn(kRows));

TEST(Variant, ByRefReadsAndStoresThroughTarget) {
    int16_t small = 12;
    Variant ref = Variant::byRef(&small);
    EXPECT_EQ(ref.i4(), 12);
    EXPECT_EQ(ref.store(Variant(40.5)), hr::kOk);  // halves to even
    EXPECT_EQ(small, 40);
    EXPECT_EQ(ref.store(Variant(int32_t{70000})), hr::kOverflow);
    EXPECT_EQ(small, 40) << "a failed store must leave the target alone";
    EXPECT_EQ(ref.store(Variant(u"5")), hr::kTypeMismatch);

    int16_t flag = 0;
    Variant boolRef = Variant::byRefBool(&flag);
    EXPECT_EQ(boolRef.store(Variant(int32_t{3})), hr::kOk);
    EXPECT_EQ(flag, sw::kVariantTrue);

    std::u16string text;
    Variant textRef = Variant::byRef(&text);
    EXPECT_EQ(textRef.store(Variant(int16_t{9})), hr::kOk);
    EXPECT_EQ(text, u"9");
    EXPECT_TRUE(textRef.dereferenced() == Variant(u"9"));
}

TEST(Variant, StoreIntoValueOrNullTargetIsRefused) {
    Variant value(int32_t{1});
    EXPECT_EQ(value.store(Variant(int32_t{2})), hr::kTypeMismatch);
    Variant null = Variant::byRef(static_cast<int32_t*>(nullptr));
    EXPECT_FALSE(null.isByRef());
    EXPECT_EQ(null.store(Variant(int32_t{2})), hr::kTypeMismatch);
}

}  // namespace
