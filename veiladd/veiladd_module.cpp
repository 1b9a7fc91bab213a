// The shared module libveiladd.so: the class factory of CVeiladdCtrl and the four module exports.
#include "platform/com/module.h"
#include "veiladd/veiladd_ctrl.h"

namespace {

int g_liveObjects = 0;  // controls of this module alive, for DllCanUnloadNow

class VeiladdFactory final : public sw::ClassFactory {
public:
    const sw::ClassInfo& classInfo() const noexcept override { return sw::veiladd::veiladdClassInfo(); }
    sw::Control* createInstance() noexcept override {
        try {
            return new sw::veiladd::CVeiladdCtrl(&g_liveObjects);
        } catch (...) {
            return nullptr;
        }
    }
};

VeiladdFactory& factory() {
    static VeiladdFactory instance;
    return instance;
}

}  // namespace

SW_CONTROL_MODULE(factory(), g_liveObjects)
