// Start-up helpers that need no window: the registration of the board's own control modules. (The dictionary
// file is read by board/dictionary/dictionary.h.)
#pragma once

#include <string>
#include <vector>

#include "platform/com/guid.h"

namespace sw::board {

// The control modules the board hosts, by file name in the program's folder.
struct OwnModule {
    const char* fileName;  // "libveil.so"
    Guid classId;
};
const std::vector<OwnModule>& ownModules();

// Registers every own module found in `folder` whose class the registry does not know, or knows at a
// module file that no longer exists, by calling the module's own DllRegisterServer (what regctl does).
// Returns the number of modules registered. A module that is missing or fails to register is skipped: the
// board then runs without that control.
int registerMissingModules(const std::string& folder);

}  // namespace sw::board
