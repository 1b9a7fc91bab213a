// libpenmate.so: the four exports of the Penmate control module.
#include "penmate/penmate_ctrl.h"
#include "platform/com/module.h"

SW_CONTROL_MODULE(penmate::penmateFactory(), penmate::liveObjects())
