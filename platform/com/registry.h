// The class registry: a small text database of registered type libraries, classes and property pages.
//
// Location: $SLATEWISE_REGISTRY when set, else $XDG_DATA_HOME/slatewise/registry (XDG_DATA_HOME defaulting to
// ~/.local/share). Every change rewrites the file atomically under an exclusive lock, so concurrent
// registrations do not lose each other's entries. A missing file is an empty registry; unreadable lines are
// skipped and kept out of later rewrites.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/guid.h"

namespace sw::com {

struct TypeLibEntry {
    Guid id;
    std::string name;  // "PENMATELib"
    uint16_t major = 1;
    uint16_t minor = 0;
    std::string path;  // the module file
};

struct ClassEntry {
    Guid id;
    std::string name;    // "CPenmateCtrl"
    std::string progId;  // "PENMATE.PenmateCtrl.1"
    std::string modulePath;
    std::string threading = "Apartment";
    uint32_t miscStatus = 0;
    Guid typeLibId;
};

struct PropPageEntry {
    Guid id;
    std::string name;  // "CPenmatePropPage"
    std::string progId;
    std::string modulePath;
};

class ClassRegistry {
public:
    static std::string defaultPath();
    explicit ClassRegistry(std::string path = defaultPath());
    const std::string& path() const noexcept { return m_path; }

    // Each returns false when the registry cannot be written (its folder is created when missing).
    bool registerTypeLib(const TypeLibEntry& entry);
    bool registerClass(const ClassEntry& entry);
    bool registerPropPage(const PropPageEntry& entry);
    // Removing an absent entry succeeds; false only when the registry cannot be written.
    bool unregisterTypeLib(const Guid& id);
    bool unregisterClass(const Guid& id);
    bool unregisterPropPage(const Guid& id);

    std::optional<TypeLibEntry> findTypeLib(const Guid& id) const;
    std::optional<ClassEntry> findClass(const Guid& id) const;
    std::optional<ClassEntry> findClassByProgId(std::string_view progId) const;
    std::optional<PropPageEntry> findPropPage(const Guid& id) const;

    std::vector<TypeLibEntry> typeLibs() const;
    std::vector<ClassEntry> classes() const;
    std::vector<PropPageEntry> propPages() const;

private:
    std::string m_path;
};

}  // namespace sw::com
