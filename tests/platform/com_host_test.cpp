// The control site's extender members, over the chain test module.
#include <gtest/gtest.h>

#include "platform/com/host.h"
#include "tests/platform/chain_module/chain_contract.h"
#include "tests/platform/chain_support.h"
#include "tests/platform/com_temp_registry.h"

using sw::Variant;
using namespace sw::com;
namespace hr = sw::hr;

namespace {

// Defined first so that it runs before any test creates the application.
TEST(CreateControl, WithoutApplicationFailsInsteadOfAborting) {
    if (qApp) GTEST_SKIP() << "an application exists already";
    TempRegistry registry;
    ASSERT_EQ(chain_support::callExport("DllRegisterServer"), hr::kOk);
    sw::HResult status = hr::kOk;
    EXPECT_FALSE(createControl(chain::kProgId, nullptr, "Chain1", nullptr, &status));
    EXPECT_EQ(status, hr::kFail);
}

class ControlSiteTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { chain_support::ensureApplication(); }
    void SetUp() override {
        ASSERT_EQ(chain_support::callExport("DllRegisterServer"), hr::kOk);
        m_host.resize(400, 300);
        m_site = createControl(chain::kProgId, &m_host, "Chain1");
        ASSERT_TRUE(m_site);
    }

    float getR4(sw::DispId id) {
        Variant v;
        EXPECT_EQ(m_site->get(id, &v), hr::kOk);
        EXPECT_EQ(v.type(), sw::VarType::R4);
        return v.r4();
    }

    TempRegistry m_registry;
    QWidget m_host;
    std::unique_ptr<ControlSite> m_site;
};

TEST_F(ControlSiteTest, PositionAndSizeThroughExtenderMembers) {
    Variant move[] = {Variant(10.5f), Variant(int16_t{20}), Variant(200.0), Variant(int32_t{50})};
    ASSERT_EQ(m_site->call(kDispExtMove, move), hr::kOk);
    EXPECT_EQ(m_site->widget()->geometry(), QRect(10, 20, 200, 50)) << "10.5 rounds to even";
    EXPECT_EQ(getR4(kDispExtLeft), 10.0f);
    EXPECT_EQ(getR4(kDispExtHeight), 50.0f);

    Variant leftOnly[] = {Variant(int32_t{-3})};
    ASSERT_EQ(m_site->call(kDispExtMove, leftOnly), hr::kOk);
    EXPECT_EQ(m_site->geometry(), QRect(-3, 20, 200, 50)) << "left-out arguments keep their values";

    ASSERT_EQ(m_site->put(kDispExtWidth, Variant(int32_t{77})), hr::kOk);
    ASSERT_EQ(m_site->put(kDispExtTop, Variant(int32_t{5})), hr::kOk);
    EXPECT_EQ(m_site->widget()->geometry(), QRect(-3, 5, 77, 50));

    EXPECT_EQ(m_site->put(kDispExtWidth, Variant(int32_t{0})), hr::kInvalidArg) << "the control refuses it";
    EXPECT_EQ(m_site->geometry().width(), 77);
    EXPECT_EQ(m_site->put(kDispExtLeft, Variant(1e12)), hr::kOverflow);
    EXPECT_EQ(m_site->call(kDispExtMove, {}), hr::kBadParamCount);
}

TEST_F(ControlSiteTest, VisibleTagAndZOrder) {
    m_host.show();
    ASSERT_EQ(m_site->put(kDispExtVisible, Variant::fromBool(false)), hr::kOk);
    EXPECT_TRUE(m_site->widget()->isHidden());
    Variant v;
    ASSERT_EQ(m_site->get(kDispExtVisible, &v), hr::kOk);
    EXPECT_TRUE(v == Variant::fromBool(false));
    ASSERT_EQ(m_site->put(kDispExtVisible, Variant(int32_t{1})), hr::kOk);
    EXPECT_TRUE(m_site->widget()->isVisible());

    ASSERT_EQ(m_site->put(kDispExtTag, Variant(int32_t{255})), hr::kOk) << "a number becomes its text";
    ASSERT_EQ(m_site->get(kDispExtTag, &v), hr::kOk);
    EXPECT_EQ(v.bstr(), u"255");

    QWidget sibling(&m_host);
    sibling.show();
    Variant back[] = {Variant(int16_t{1})};
    ASSERT_EQ(m_site->call(kDispExtZOrder, back), hr::kOk);
    EXPECT_EQ(m_host.children().indexOf(m_site->widget()), 0) << "at the back, painted first";
    ASSERT_EQ(m_site->call(kDispExtZOrder, {}), hr::kOk);
    EXPECT_EQ(m_host.children().indexOf(m_site->widget()), m_host.children().size() - 1);
    Variant bad[] = {Variant(int16_t{2})};
    EXPECT_EQ(m_site->call(kDispExtZOrder, bad), hr::kInvalidArg);
}

TEST_F(ControlSiteTest, NamesResolveToExtenderFirstThenControl) {
    sw::DispId id = 0;
    ASSERT_EQ(m_site->idOfName("left", &id), hr::kOk);
    EXPECT_EQ(id, kDispExtLeft);
    ASSERT_EQ(m_site->idOfName("ZORDER", &id), hr::kOk);
    EXPECT_EQ(id, kDispExtZOrder);
    ASSERT_EQ(m_site->idOfName("Divide", &id), hr::kOk);
    EXPECT_EQ(id, chain::kDispDivide);
    EXPECT_EQ(m_site->idOfName("Nothing", &id), hr::kUnknownName);
    EXPECT_EQ(m_site->interfaceInfo().name, "_DChain");
    EXPECT_EQ(m_site->interfaceInfo().members.size(), 8u + m_site->control()->interfaceInfo().members.size());

    // Calls by id that the extender does not answer reach the control.
    Variant v;
    ASSERT_EQ(m_site->get(chain::kDispCount, &v), hr::kOk);
    EXPECT_EQ(v.i4(), chain::kDefaultCount);
}

TEST_F(ControlSiteTest, HostWindowDestroyedFirstIsHarmless) {
    auto host = std::make_unique<QWidget>();
    auto site = createControl(chain::kProgId, host.get(), "Chain2");
    ASSERT_TRUE(site);
    host.reset();  // deletes the control's window with it
    EXPECT_EQ(site->widget(), nullptr);
    EXPECT_EQ(site->put(kDispExtLeft, Variant(int32_t{4})), hr::kOk);
    site.reset();
}

}  // namespace
