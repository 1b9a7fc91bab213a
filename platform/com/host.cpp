#include "platform/com/host.h"

#include <dlfcn.h>

#include <QApplication>
#include <QLoggingCategory>
#include <map>
#include <mutex>

#include "platform/com/registry.h"
#include "platform/gdi/color.h"

Q_LOGGING_CATEGORY(lcHost, "slatewise.platform.host", QtWarningMsg)

namespace sw::com {

// An open module. Controls keep it through a shared_ptr, so it stays open while any object of it lives; every
// control of one module file shares one LoadedModule.
//
// Modules are opened with RTLD_NODELETE: Qt keeps references into a module's static data (meta-objects,
// registered types, resources) beyond the life of its objects, so the code stays mapped after the last
// dlclose. The reference the handle counts is still released.
class LoadedModule {
public:
    static std::shared_ptr<LoadedModule> open(const std::string& path, std::string* error);
    ~LoadedModule() {
        if (m_handle) ::dlclose(m_handle);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    void* symbol(const char* name) const noexcept { return ::dlsym(m_handle, name); }

private:
    explicit LoadedModule(void* handle) noexcept : m_handle(handle) {}
    void* m_handle;
};

std::shared_ptr<LoadedModule> LoadedModule::open(const std::string& path, std::string* error) {
    static std::mutex mutex;
    static std::map<std::string, std::weak_ptr<LoadedModule>> open;
    const std::lock_guard lock(mutex);
    if (auto existing = open[path].lock()) return existing;
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* reason = ::dlerror();
        *error = reason ? reason : "dlopen failed";
        return nullptr;
    }
    std::shared_ptr<LoadedModule> module(new LoadedModule(handle));
    open[path] = module;
    return module;
}

namespace {

constexpr uint32_t kMiscInvisibleAtRuntimeBit = 0x400;

constexpr ParamInfo kMoveParams[] = {{"Left", VarType::R4},
                                     {"Top", VarType::R4, false, true},
                                     {"Width", VarType::R4, false, true},
                                     {"Height", VarType::R4, false, true}};
constexpr ParamInfo kZOrderParams[] = {{"Position", VarType::I2, false, true}};
constexpr MemberInfo kExtenderMembers[] = {
    {kDispExtLeft, "Left", MemberKind::Property, VarType::R4},
    {kDispExtTop, "Top", MemberKind::Property, VarType::R4},
    {kDispExtWidth, "Width", MemberKind::Property, VarType::R4},
    {kDispExtHeight, "Height", MemberKind::Property, VarType::R4},
    {kDispExtVisible, "Visible", MemberKind::Property, VarType::Bool},
    {kDispExtTag, "Tag", MemberKind::Property, VarType::BStr},
    {kDispExtMove, "Move", MemberKind::Method, VarType::Empty, kMoveParams},
    {kDispExtZOrder, "ZOrder", MemberKind::Method, VarType::Empty, kZOrderParams},
};
constexpr InterfaceInfo kExtenderInterface{"Extender", kExtenderMembers};

// Pixels from an R4 argument (already coerced), rounding halves to even; kOverflow outside the int range.
HResult pixels(const Variant& value, int* out) noexcept {
    int32_t v = 0;
    const HResult r = value.toI4(&v);
    if (succeeded(r)) *out = v;
    return r;
}

}  // namespace

// The extender members, with DispatchBase checking and coercing their arguments.
class ControlSite::Extender final : public DispatchBase {
public:
    explicit Extender(ControlSite& site) noexcept : m_site(site) {}
    const InterfaceInfo& interfaceInfo() const noexcept override { return kExtenderInterface; }

protected:
    HResult invokeMember(const MemberInfo& member, uint16_t flags, std::span<Variant> args,
                         Variant* result) override {
        const bool put = flags & kInvokePropertyPut;
        QRect g = m_site.geometry();
        switch (member.id) {
            case kDispExtLeft:
            case kDispExtTop:
            case kDispExtWidth:
            case kDispExtHeight: {
                if (!put) {
                    const int v = member.id == kDispExtLeft    ? g.left()
                                  : member.id == kDispExtTop   ? g.top()
                                  : member.id == kDispExtWidth ? g.width()
                                                               : g.height();
                    *result = Variant(static_cast<float>(v));
                    return hr::kOk;
                }
                int v = 0;
                if (const HResult r = pixels(args[0], &v); failed(r)) return r;
                if (member.id == kDispExtLeft) g.moveLeft(v);
                if (member.id == kDispExtTop) g.moveTop(v);
                if (member.id == kDispExtWidth) g.setWidth(v);
                if (member.id == kDispExtHeight) g.setHeight(v);
                return m_site.setGeometry(g) ? hr::kOk : hr::kInvalidArg;
            }
            case kDispExtVisible:
                if (put)
                    m_site.setVisible(args[0].boolean());
                else
                    *result = Variant::fromBool(m_site.isVisible());
                return hr::kOk;
            case kDispExtTag:
                if (put)
                    m_site.setTag(args[0].bstr());
                else
                    *result = Variant(m_site.tag());
                return hr::kOk;
            case kDispExtMove: {
                int v[4] = {g.left(), g.top(), g.width(), g.height()};
                for (size_t i = 0; i < args.size(); ++i) {
                    if (args[i].isEmpty()) continue;
                    if (const HResult r = pixels(args[i], &v[i]); failed(r)) return r;
                }
                return m_site.setGeometry(QRect(v[0], v[1], v[2], v[3])) ? hr::kOk : hr::kInvalidArg;
            }
            case kDispExtZOrder: {
                const int position = args[0].isEmpty() ? 0 : args[0].i2();
                if (position != 0 && position != 1) return hr::kInvalidArg;
                m_site.zOrder(position);
                return hr::kOk;
            }
        }
        return hr::kMemberNotFound;
    }

private:
    ControlSite& m_site;
};

ControlSite::ControlSite() : m_extender(std::make_unique<Extender>(*this)) {}

ControlSite::~ControlSite() {
    if (m_control) {
        delete m_widget.data();
        m_control->setSite(nullptr);
        delete m_control;
    }
    // m_module is released after this body: the control's code stays loaded until the object is gone.
}

const InterfaceInfo& ControlSite::interfaceInfo() const noexcept { return m_interface; }

HResult ControlSite::invoke(DispId id, uint16_t flags, std::span<Variant> args, Variant* result) noexcept {
    if (kExtenderInterface.find(id)) return m_extender->invoke(id, flags, args, result);
    return m_control->invoke(id, flags, args, result);
}

QWidget* ControlSite::widget() const noexcept { return m_widget.data(); }

uint32_t ControlSite::advise(EventSink* sink) {
    ConnectionPoint* point = m_control->events();
    return point ? point->advise(sink) : 0;
}

bool ControlSite::unadvise(uint32_t cookie) noexcept {
    ConnectionPoint* point = m_control->events();
    return point && point->unadvise(cookie);
}

QRect ControlSite::geometry() const { return m_widget ? m_widget->geometry() : m_geometry; }

void ControlSite::move(int left, int top, int width, int height) {
    setGeometry(QRect(left, top, width, height));
}

bool ControlSite::setGeometry(const QRect& rect) {
    const QRect current = geometry();
    bool sizeAccepted = true;
    if (rect.size() != current.size())
        sizeAccepted =
            rect.width() >= 0 && rect.height() >= 0 && m_control->setExtent(rect.width(), rect.height());
    m_geometry = QRect(rect.topLeft(), sizeAccepted ? rect.size() : current.size());
    if (m_widget) m_widget->setGeometry(m_geometry);
    return sizeAccepted;
}

bool ControlSite::invisibleAtRuntime() const noexcept {
    return (m_control->classInfo().miscStatus & kMiscInvisibleAtRuntimeBit) != 0;
}

bool ControlSite::isVisible() const { return m_visible; }

void ControlSite::setVisible(bool visible) {
    m_visible = visible;
    if (m_widget) m_widget->setVisible(visible && !(m_userMode && invisibleAtRuntime()));
}

void ControlSite::zOrder(int position) {
    if (!m_widget) return;
    if (position == 0)
        m_widget->raise();
    else
        m_widget->lower();
}

uint32_t ControlSite::translateColor(uint32_t oleColor) const noexcept {
    return gdi::translateOleColor(oleColor);
}

void ControlSite::saveProperties(PropertyBag& bag) noexcept {
    PropExchange exchange(ExchangeMode::Save, &bag);
    m_control->exchangeProperties(exchange);
}

void ControlSite::loadProperties(PropertyBag& bag) noexcept {
    PropExchange exchange(ExchangeMode::Load, &bag);
    m_control->exchangeProperties(exchange);
}

std::unique_ptr<ControlSite> createControl(std::string_view classIdOrProgId, QWidget* hostWindow,
                                           std::string_view name, PropertyBag* stored, HResult* hr) noexcept {
    HResult ignored = hr::kOk;
    HResult& status = hr ? *hr : ignored;
    try {
        const ClassRegistry registry;
        const auto clsid = Guid::parse(classIdOrProgId);
        const auto entry = clsid ? registry.findClass(*clsid) : registry.findClassByProgId(classIdOrProgId);
        if (!entry) {
            status = hr::kClassNotRegistered;
            return nullptr;
        }

        status = hr::kClassNotAvailable;
        std::string error;
        auto module = LoadedModule::open(entry->modulePath, &error);
        if (!module) {
            qCDebug(lcHost) << "cannot load" << entry->modulePath.c_str() << error.c_str();
            return nullptr;
        }
        using GetClassObject = int32_t (*)(const Guid*, const Guid*, void**);
        const auto getClassObject = reinterpret_cast<GetClassObject>(module->symbol("DllGetClassObject"));
        void* object = nullptr;
        if (!getClassObject || failed(getClassObject(&entry->id, nullptr, &object)) || !object)
            return nullptr;
        auto* factory = static_cast<ClassFactory*>(object);
        if (!(factory->classInfo().classId == entry->id)) return nullptr;

        if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
            status = hr::kFail;  // a widget without one would abort the process
            return nullptr;
        }
        std::unique_ptr<ControlSite> site(new ControlSite());
        site->m_module = std::move(module);
        site->m_control = factory->createInstance();
        if (!site->m_control) return nullptr;
        site->m_host = hostWindow;
        site->m_name = std::string(name);
        const InterfaceInfo& own = site->m_control->interfaceInfo();
        site->m_members.assign(std::begin(kExtenderMembers), std::end(kExtenderMembers));
        site->m_members.insert(site->m_members.end(), own.members.begin(), own.members.end());
        site->m_interface = InterfaceInfo{own.name, site->m_members};
        site->m_control->setSite(site.get());

        PropExchange exchange(stored ? ExchangeMode::Load : ExchangeMode::Reset, stored);
        site->m_control->exchangeProperties(exchange);

        site->m_widget = site->m_control->createWindow(hostWindow);
        if (!site->m_widget) {
            status = hr::kFail;
            return nullptr;
        }
        site->m_geometry = site->m_widget->geometry();
        site->setVisible(true);
        status = hr::kOk;
        return site;
    } catch (const std::bad_alloc&) {
        status = hr::kOutOfMemory;
    } catch (...) {
        status = hr::kFail;
    }
    return nullptr;
}

}  // namespace sw::com
