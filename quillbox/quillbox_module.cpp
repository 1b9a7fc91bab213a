// libquillbox.so: the four exports of the recognition box's control module.
#include "platform/com/module.h"
#include "quillbox/quillbox_ctrl.h"

SW_CONTROL_MODULE(sw::quillbox::quillboxFactory(), sw::quillbox::liveObjects())
