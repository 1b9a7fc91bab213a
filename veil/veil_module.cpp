// libveil.so: the four exports of the overlay's control module.
#include "platform/com/module.h"
#include "veil/veil_ctrl.h"

SW_CONTROL_MODULE(sw::veil::veilFactory(), sw::veil::liveObjects())
