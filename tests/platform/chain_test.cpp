// The whole hosting chain with a real module: regctl registers it, the host creates it through the registry,
// calls it by dispatch id, hears its event, persists its properties, and regctl removes it again.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QProcess>
#include <climits>
#include <cstdlib>

#include "platform/com/host.h"
#include "platform/com/registry.h"
#include "platform/com/stock_ui.h"
#include "tests/platform/chain_module/chain_contract.h"
#include "tests/platform/chain_support.h"
#include "tests/platform/com_temp_registry.h"

using sw::Variant;
using namespace sw::com;
namespace hr = sw::hr;

namespace {

struct ProcessResult {
    int status;
    QString out;
    QString err;
};

ProcessResult regctl(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(SW_REGCTL), args);
    if (!process.waitForFinished(30000)) return {-1, {}, QStringLiteral("did not finish")};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

std::string modulePath() {
    char resolved[PATH_MAX];
    return ::realpath(SW_CHAIN_MODULE, resolved) ? resolved : SW_CHAIN_MODULE;
}

class Chain : public ::testing::Test {
protected:
    static void SetUpTestSuite() { chain_support::ensureApplication(); }

    void registerWithRegctl() {
        const ProcessResult run = regctl({QStringLiteral(SW_CHAIN_MODULE)});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
    }

    TempRegistry m_registry;
    QWidget m_host;
};

TEST_F(Chain, RegctlRegistersEveryEntryAndUnregistersThemAll) {
    const ProcessResult run = regctl({QStringLiteral(SW_CHAIN_MODULE)});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("registered"))) << run.out.toStdString();

    const ClassRegistry registry;
    const auto typeLib = registry.findTypeLib(chain::kTypeLibId);
    const auto entry = registry.findClass(chain::kClassId);
    const auto page = registry.findPropPage(chain::kPropPageId);
    ASSERT_TRUE(typeLib && entry && page);
    EXPECT_EQ(typeLib->name, "CHAINLib");
    EXPECT_EQ(entry->progId, chain::kProgId);
    EXPECT_EQ(entry->modulePath, modulePath());
    EXPECT_EQ(entry->threading, "Apartment");
    EXPECT_EQ(entry->miscStatus, sw::kMiscStatusVisibleControl);
    EXPECT_EQ(page->progId, "CHAIN.ChainPropPage.1");

    const ProcessResult undo = regctl({QStringLiteral("-u"), QStringLiteral(SW_CHAIN_MODULE)});
    ASSERT_EQ(undo.status, 0) << undo.err.toStdString();
    EXPECT_TRUE(registry.typeLibs().empty());
    EXPECT_TRUE(registry.classes().empty());
    EXPECT_TRUE(registry.propPages().empty());
}

TEST_F(Chain, RegistrationIntoAnUnwritableRegistryFailsWithTypeLibCode) {
    TempRegistry::use(m_registry.unwritablePath());
    const ProcessResult run = regctl({QStringLiteral(SW_CHAIN_MODULE)});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("0x80040200"))) << run.err.toStdString();
    EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << "one line";
    EXPECT_EQ(chain_support::callExport("DllRegisterServer"), hr::kSelfRegTypeLib);
    EXPECT_EQ(chain_support::callExport("DllUnregisterServer"), hr::kSelfRegTypeLib);
}

TEST_F(Chain, RegctlReportsBadCommandLinesAndFiles) {
    EXPECT_EQ(regctl({}).status, 2);
    EXPECT_EQ(regctl({QStringLiteral("-x"), QStringLiteral(SW_CHAIN_MODULE)}).status, 2);
    const ProcessResult missing = regctl({m_registry.folder().append("/absent.so").c_str()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.startsWith(QStringLiteral("regctl: cannot load"))) << missing.err.toStdString();
    const ProcessResult notModule = regctl({QStringLiteral(SW_REGCTL)});  // loads, but has no exports
    EXPECT_EQ(notModule.status, 1);
}

TEST_F(Chain, HostCreatesTheControlByClassIdAndByProgId) {
    registerWithRegctl();
    sw::HResult status = hr::kFail;
    auto byId = createControl(chain::kClassId.toString(), &m_host, "Chain1", nullptr, &status);
    ASSERT_TRUE(byId) << std::hex << status;
    EXPECT_EQ(status, hr::kOk);
    auto* label = qobject_cast<QLabel*>(byId->widget());
    ASSERT_TRUE(label);
    EXPECT_EQ(label->parentWidget(), &m_host);
    EXPECT_EQ(label->text(), QStringLiteral("ready"));

    auto byProgId = createControl(chain::kProgId, &m_host, "Chain2", nullptr, &status);
    ASSERT_TRUE(byProgId);
    EXPECT_NE(byProgId->control(), byId->control());

    EXPECT_FALSE(createControl("CHAIN.Missing.1", &m_host, "x", nullptr, &status));
    EXPECT_EQ(status, hr::kClassNotRegistered);

    // A class whose registered module file is gone.
    ClassRegistry().registerClass({sw::Guid{1, 2, 3, {4}}, "CGone", "CHAIN.Gone.1", "/nonexistent/libgone.so",
                                   "Apartment", 0, chain::kTypeLibId});
    EXPECT_FALSE(createControl("CHAIN.Gone.1", &m_host, "x", nullptr, &status));
    EXPECT_EQ(status, hr::kClassNotAvailable);
}

TEST_F(Chain, MethodsAndPropertiesByDispatchIdWithInAndOutParameters) {
    registerWithRegctl();
    auto site = createControl(chain::kProgId, &m_host, "Chain1");
    ASSERT_TRUE(site);

    int32_t remainder = -1;
    Variant args[] = {Variant(int32_t{17}), Variant(int32_t{5}), Variant::byRef(&remainder)};
    Variant result;
    ASSERT_EQ(site->call(chain::kDispDivide, args, &result), hr::kOk);
    EXPECT_TRUE(result == Variant::fromBool(true));
    EXPECT_EQ(remainder, 2);

    double wideRemainder = -1;  // another type: a temporary, written back
    Variant zero[] = {Variant(7.0), Variant(int16_t{0}), Variant::byRef(&wideRemainder)};
    ASSERT_EQ(site->call(chain::kDispDivide, zero, &result), hr::kOk);
    EXPECT_TRUE(result == Variant::fromBool(false));
    EXPECT_EQ(wideRemainder, 0.0) << "the out parameter is set even when the inputs are refused";

    ASSERT_EQ(site->put(chain::kDispCaption, Variant(u"板書 ready")), hr::kOk);
    ASSERT_EQ(site->get(chain::kDispCaption, &result), hr::kOk);
    EXPECT_EQ(result.bstr(), u"板書 ready");
    EXPECT_EQ(qobject_cast<QLabel*>(site->widget())->text(), QStringLiteral("板書 ready"));

    EXPECT_EQ(site->put(chain::kDispCount, Variant(u"12")), hr::kTypeMismatch);
    EXPECT_EQ(site->call(chain::kDispDivide, {}), hr::kBadParamCount);
    EXPECT_EQ(site->call(4242, {}), hr::kMemberNotFound);
}

TEST_F(Chain, EventReachesTheHostAndItsAnswerComesBack) {
    registerWithRegctl();
    auto site = createControl(chain::kClassId.toString(), &m_host, "Chain1");
    ASSERT_TRUE(site);
    std::u16string heard;
    sw::FunctionSink sink([&](sw::DispId id, std::span<Variant> args) {
        ASSERT_EQ(id, chain::kEventNotify);
        heard = args[0].bstr();
        args[1].store(Variant::fromBool(true));
    });
    const uint32_t cookie = site->advise(&sink);
    ASSERT_NE(cookie, 0u);

    Variant text[] = {Variant(u"こんにちは")};
    Variant result;
    ASSERT_EQ(site->call(chain::kDispRaise, text, &result), hr::kOk);
    EXPECT_EQ(heard, u"こんにちは");
    EXPECT_TRUE(result == Variant::fromBool(true));

    EXPECT_TRUE(site->unadvise(cookie));
    heard.clear();
    ASSERT_EQ(site->call(chain::kDispRaise, text, &result), hr::kOk);
    EXPECT_TRUE(heard.empty());
    EXPECT_TRUE(result == Variant::fromBool(false));
}

TEST_F(Chain, PropertiesLoadSaveAndResetThroughThePropertyBag) {
    registerWithRegctl();
    sw::PropertyBag stored = sw::PropertyBag::fromText("Caption = \"  黒板 \"\nCount = 42\nArmed = 0\n");
    auto site = createControl(chain::kProgId, &m_host, "Chain1", &stored);
    ASSERT_TRUE(site);
    Variant value;
    ASSERT_EQ(site->get(chain::kDispCaption, &value), hr::kOk);
    EXPECT_EQ(value.bstr(), u"  黒板 ");
    ASSERT_EQ(site->get(chain::kDispCount, &value), hr::kOk);
    EXPECT_EQ(value.i4(), 42);
    ASSERT_EQ(site->get(chain::kDispArmed, &value), hr::kOk);
    EXPECT_FALSE(value.boolean());

    ASSERT_EQ(site->put(chain::kDispCount, Variant(int32_t{-5})), hr::kOk);
    sw::PropertyBag saved;
    site->saveProperties(saved);
    const sw::PropertyBag reread = sw::PropertyBag::fromText(saved.toText());
    EXPECT_EQ(reread.read("Caption"), "  黒板 ");
    EXPECT_EQ(reread.read("Count"), "-5");
    EXPECT_EQ(reread.read("Armed"), "0");
    EXPECT_EQ(reread.read("_Version"), "1.0");

    auto fresh = createControl(chain::kProgId, &m_host, "Chain2");  // no stored properties: the defaults
    ASSERT_TRUE(fresh);
    ASSERT_EQ(fresh->get(chain::kDispCount, &value), hr::kOk);
    EXPECT_EQ(value.i4(), chain::kDefaultCount);
    ASSERT_EQ(fresh->get(chain::kDispCaption, &value), hr::kOk);
    EXPECT_EQ(value.bstr(), chain::kDefaultCaption);

    sw::PropertyBag damaged = sw::PropertyBag::fromText("Count = lots\nArmed = 0\n");
    site->loadProperties(damaged);
    ASSERT_EQ(site->get(chain::kDispCount, &value), hr::kOk);
    EXPECT_EQ(value.i4(), chain::kDefaultCount);
    ASSERT_EQ(site->get(chain::kDispCaption, &value), hr::kOk);
    EXPECT_EQ(value.bstr(), chain::kDefaultCaption) << "an absent name loads its default";
}

TEST_F(Chain, AboutBoxShowsNameAndVersion) {
    registerWithRegctl();
    auto site = createControl(chain::kProgId, &m_host, "Chain1");
    ASSERT_TRUE(site);
    QString name, version;
    setDialogHook([&](QDialog& dialog) {
        name = dialog.findChild<QLabel*>(QStringLiteral("name"))->text();
        version = dialog.findChild<QLabel*>(QStringLiteral("version"))->text();
    });
    EXPECT_EQ(site->call(sw::kDispAboutBox, {}), hr::kOk);
    setDialogHook(nullptr);
    EXPECT_EQ(name, QStringLiteral("Chain Control"));
    EXPECT_EQ(version, QStringLiteral("Version 1.0"));
}

TEST_F(Chain, ModuleStaysLoadedWhileItsObjectsLive) {
    registerWithRegctl();
    auto site = createControl(chain::kProgId, &m_host, "Chain1");
    ASSERT_TRUE(site);
    EXPECT_EQ(chain_support::callExport("DllCanUnloadNow"), hr::kFalse);
    QPointer<QWidget> window = site->widget();
    site.reset();
    EXPECT_TRUE(window.isNull()) << "the site destroys the control's window";
    EXPECT_EQ(chain_support::callExport("DllCanUnloadNow"), hr::kOk);
}

}  // namespace
