#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/automation/events.h"

using sw::DispId;
using sw::Variant;
using sw::VarType;

namespace {

constexpr DispId kChanged = 1;
constexpr DispId kAsk = 2;
constexpr sw::ParamInfo kAskParams[] = {{"text", VarType::BStr}, {"cancel", VarType::Bool, true}};
constexpr sw::MemberInfo kEvents[] = {
    {kChanged, "Changed", sw::MemberKind::Method, VarType::Empty},
    {kAsk, "Ask", sw::MemberKind::Method, VarType::Empty, kAskParams},
};
constexpr sw::InterfaceInfo kEventInterface{"_DSampleEvents", kEvents};

TEST(ConnectionPoint, SinkWritesByRefArgumentsSeenByLaterSinksAndSource) {
    sw::ConnectionPoint point(kEventInterface);
    std::vector<std::string> order;
    sw::FunctionSink first([&](DispId id, std::span<Variant> args) {
        order.push_back("first");
        ASSERT_EQ(id, kAsk);
        EXPECT_EQ(args[0].bstr(), u"question");
        args[1].store(Variant::fromBool(true));
    });
    sw::FunctionSink second([&](DispId, std::span<Variant> args) {
        order.push_back(args[1].boolean() ? "second saw cancel" : "second");
    });
    point.advise(&first);
    point.advise(&second);

    int16_t cancel = sw::kVariantFalse;
    Variant args[] = {Variant(u"question"), Variant::byRefBool(&cancel)};
    point.fire(kAsk, args);
    EXPECT_EQ(cancel, sw::kVariantTrue);
    EXPECT_EQ(order, (std::vector<std::string>{"first", "second saw cancel"}));
}

TEST(ConnectionPoint, SinksChangingConnectionsDuringFire) {
    sw::ConnectionPoint point(kEventInterface);
    std::vector<std::string> heard;
    uint32_t selfCookie = 0, victimCookie = 0;
    sw::FunctionSink late([&](DispId, std::span<Variant>) { heard.push_back("late"); });
    sw::FunctionSink self([&](DispId, std::span<Variant>) {
        heard.push_back("self");
        EXPECT_TRUE(point.unadvise(selfCookie));
        EXPECT_TRUE(point.unadvise(victimCookie));
        point.advise(&late);
    });
    sw::FunctionSink victim([&](DispId, std::span<Variant>) { heard.push_back("victim"); });
    sw::FunctionSink thrower([&](DispId, std::span<Variant>) {
        heard.push_back("thrower");
        throw std::runtime_error("sink failure");
    });
    sw::FunctionSink last([&](DispId, std::span<Variant>) { heard.push_back("last"); });

    selfCookie = point.advise(&self);
    victimCookie = point.advise(&victim);
    point.advise(&thrower);
    point.advise(&last);
    EXPECT_NE(selfCookie, 0u);
    EXPECT_NE(selfCookie, victimCookie);

    point.fire(kChanged, {});
    EXPECT_EQ(heard, (std::vector<std::string>{"self", "thrower", "last"}));
    heard.clear();
    point.fire(kChanged, {});
    EXPECT_EQ(heard, (std::vector<std::string>{"thrower", "last", "late"}));
    EXPECT_EQ(point.sinkCount(), 3u);
    EXPECT_FALSE(point.unadvise(selfCookie)) << "a cookie is good for one unadvise";
}

}  // namespace
