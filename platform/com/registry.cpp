#include "platform/com/registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <utility>
#include <variant>

#include "platform/automation/escape_p.h"

namespace sw::com {
namespace {

// The file holds one entry a line, its fields separated by tabs, with backslash escapes inside a field
// (escape_p.h). The fields of each kind of entry:
//
//     typelib   {id}  name  major.minor  module path
//     class     {id}  name  prog id  module path  threading  0x<status flags>  {type library id}
//     proppage  {id}  name  prog id  module path
//
// Lines starting with '#' are comments. Entries keep the order in which they were registered.
constexpr const char* kHeader =
    "# Slatewise class registry. Written by the control modules; edit with regctl.\n";

using Record = std::variant<TypeLibEntry, ClassEntry, PropPageEntry>;

std::optional<std::vector<std::string>> splitFields(std::string_view line) {
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c != '\\') {
            fields.back() += c;
        } else {
            if (++i == line.size()) return std::nullopt;
            const auto unescaped = detail::unescapedLetter(line[i]);
            if (!unescaped) return std::nullopt;
            fields.back() += *unescaped;
        }
    }
    return fields;
}

std::optional<uint16_t> parseU16(std::string_view s) {
    uint16_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

std::optional<Record> parseRecord(std::string_view line) {
    const auto fields = splitFields(line);
    if (!fields || fields->size() < 2) return std::nullopt;
    const auto& f = *fields;
    const auto id = Guid::parse(f[1]);
    if (!id) return std::nullopt;
    if (f[0] == "typelib" && f.size() == 5) {
        const size_t dot = f[3].find('.');
        if (dot == std::string::npos) return std::nullopt;
        const auto major = parseU16(std::string_view(f[3]).substr(0, dot));
        const auto minor = parseU16(std::string_view(f[3]).substr(dot + 1));
        if (!major || !minor) return std::nullopt;
        return TypeLibEntry{*id, f[2], *major, *minor, f[4]};
    }
    if (f[0] == "class" && f.size() == 8) {
        std::string_view status = f[6];
        if (status.substr(0, 2) != "0x") return std::nullopt;
        status.remove_prefix(2);
        uint32_t misc = 0;
        const auto [end, ec] = std::from_chars(status.data(), status.data() + status.size(), misc, 16);
        if (status.empty() || ec != std::errc() || end != status.data() + status.size()) return std::nullopt;
        const auto typeLib = Guid::parse(f[7]);
        if (!typeLib) return std::nullopt;
        return ClassEntry{*id, f[2], f[3], f[4], f[5], misc, *typeLib};
    }
    if (f[0] == "proppage" && f.size() == 5) return PropPageEntry{*id, f[2], f[3], f[4]};
    return std::nullopt;
}

std::string formatRecord(const Record& record) {
    std::string line;
    auto add = [&line](std::string_view field) {
        if (!line.empty()) line += '\t';
        line += detail::backslashEscaped(field);
    };
    if (const auto* t = std::get_if<TypeLibEntry>(&record)) {
        add("typelib"), add(t->id.toString()), add(t->name);
        add(std::to_string(t->major) + "." + std::to_string(t->minor)), add(t->path);
    } else if (const auto* c = std::get_if<ClassEntry>(&record)) {
        char status[16];
        std::snprintf(status, sizeof status, "0x%08X", c->miscStatus);
        add("class"), add(c->id.toString()), add(c->name), add(c->progId), add(c->modulePath);
        add(c->threading), add(status), add(c->typeLibId.toString());
    } else if (const auto* p = std::get_if<PropPageEntry>(&record)) {
        add("proppage"), add(p->id.toString()), add(p->name), add(p->progId), add(p->modulePath);
    }
    return line + '\n';
}

// Reads every readable entry. False when the file exists but cannot be read (a rewrite would lose it).
bool readRecords(const std::string& path, std::vector<Record>* records) {
    records->clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return errno == ENOENT;
    std::string text;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok) return false;

    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t eol = rest.find('\n');
        std::string_view line = rest.substr(0, eol);
        rest.remove_prefix(eol == std::string_view::npos ? rest.size() : eol + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        if (auto record = parseRecord(line)) records->push_back(std::move(*record));
    }
    return true;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) noexcept : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const noexcept { return m_fd; }
    int release() noexcept { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Applies `change` to the entries under an exclusive lock on "<path>.lock" (the data file itself is replaced
// by rename, so it cannot carry the lock) and replaces the file with a fully written temporary one.
bool update(const std::string& path, const std::function<void(std::vector<Record>&)>& change) {
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    if (ec) return false;

    FileDescriptor lock(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (lock.get() < 0) return false;
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) return false;
    }

    std::vector<Record> records;
    if (!readRecords(path, &records)) return false;
    change(records);
    std::string text = kHeader;
    for (const Record& r : records) text += formatRecord(r);

    std::string temp = path + ".XXXXXX";
    FileDescriptor out(::mkstemp(temp.data()));
    if (out.get() < 0) return false;
    const bool written =
        writeAll(out.get(), text) && ::fchmod(out.get(), 0644) == 0 && ::fsync(out.get()) == 0;
    const bool closed = ::close(out.release()) == 0;
    if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;  // the lock goes with the descriptor
}

template <typename Entry>
bool put(const std::string& path, const Entry& entry) {
    return update(path, [&entry](std::vector<Record>& records) {
        std::erase_if(records, [&entry](const Record& r) {
            const auto* same = std::get_if<Entry>(&r);
            if (!same) return false;
            if constexpr (std::is_same_v<Entry, TypeLibEntry>) {
                return same->id == entry.id;
            } else {
                // A prog id names one class (or page): the newest registration takes it over.
                return same->id == entry.id || (!entry.progId.empty() && same->progId == entry.progId);
            }
        });
        records.emplace_back(entry);
    });
}

template <typename Entry>
bool remove(const std::string& path, const Guid& id) {
    return update(path, [&id](std::vector<Record>& records) {
        std::erase_if(records, [&id](const Record& r) {
            const auto* e = std::get_if<Entry>(&r);
            return e && e->id == id;
        });
    });
}

template <typename Entry>
std::vector<Entry> all(const std::string& path) {
    std::vector<Record> records;
    readRecords(path, &records);
    std::vector<Entry> out;
    for (const Record& r : records)
        if (const auto* e = std::get_if<Entry>(&r)) out.push_back(*e);
    return out;
}

template <typename Entry, typename Pred>
std::optional<Entry> findFirst(const std::string& path, Pred pred) {
    for (Entry& e : all<Entry>(path))
        if (pred(e)) return std::move(e);
    return std::nullopt;
}

}  // namespace

std::string ClassRegistry::defaultPath() {
    if (const char* env = std::getenv("SLATEWISE_REGISTRY"); env && *env) return env;
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
        data = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw ? pw->pw_dir : "/tmp";
        }
        data = std::string(home) + "/.local/share";
    }
    return data + "/slatewise/registry";
}

ClassRegistry::ClassRegistry(std::string path) : m_path(std::move(path)) {}

bool ClassRegistry::registerTypeLib(const TypeLibEntry& entry) { return put(m_path, entry); }
bool ClassRegistry::registerClass(const ClassEntry& entry) { return put(m_path, entry); }
bool ClassRegistry::registerPropPage(const PropPageEntry& entry) { return put(m_path, entry); }
bool ClassRegistry::unregisterTypeLib(const Guid& id) { return remove<TypeLibEntry>(m_path, id); }
bool ClassRegistry::unregisterClass(const Guid& id) { return remove<ClassEntry>(m_path, id); }
bool ClassRegistry::unregisterPropPage(const Guid& id) { return remove<PropPageEntry>(m_path, id); }

std::optional<TypeLibEntry> ClassRegistry::findTypeLib(const Guid& id) const {
    return findFirst<TypeLibEntry>(m_path, [&id](const TypeLibEntry& e) { return e.id == id; });
}

std::optional<ClassEntry> ClassRegistry::findClass(const Guid& id) const {
    return findFirst<ClassEntry>(m_path, [&id](const ClassEntry& e) { return e.id == id; });
}

std::optional<ClassEntry> ClassRegistry::findClassByProgId(std::string_view progId) const {
    return findFirst<ClassEntry>(m_path, [progId](const ClassEntry& e) { return e.progId == progId; });
}

std::optional<PropPageEntry> ClassRegistry::findPropPage(const Guid& id) const {
    return findFirst<PropPageEntry>(m_path, [&id](const PropPageEntry& e) { return e.id == id; });
}

std::vector<TypeLibEntry> ClassRegistry::typeLibs() const { return all<TypeLibEntry>(m_path); }
std::vector<ClassEntry> ClassRegistry::classes() const { return all<ClassEntry>(m_path); }
std::vector<PropPageEntry> ClassRegistry::propPages() const { return all<PropPageEntry>(m_path); }

}  // namespace sw::com
