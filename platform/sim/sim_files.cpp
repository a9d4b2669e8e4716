// Simulated files (on disk below the world's root, or in memory in a world
// without one) and libraries.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "platform/characters.h"
#include "platform/file_lookup.h"
#include "platform/sim/sim_state.h"

namespace sim {

namespace fs = std::filesystem;

int openFileCount() { return static_cast<int>(world().files.size()); }

static bool inMemory();
static std::string memoryKey(const std::string& path);

std::vector<std::string> filesIn(const std::string& windowsFolder) {
    std::vector<std::string> names;
    if (inMemory()) {
        const std::string prefix = memoryKey(windowsFolder) + "\\";
        for (const auto& [key, bytes] : world().memoryFiles) {
            if (key.compare(0, prefix.size(), prefix) == 0 && key.find('\\', prefix.size()) == std::string::npos)
                names.push_back(key.substr(prefix.size()));
        }
        return names;
    }
    std::error_code error;
    for (fs::directory_iterator it(hostPath(windowsFolder), error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file(error)) names.push_back(it->path().filename().string());
    return names;
}

void failNextFileOperation(FileOperation operation) { world().failingFileOperations.push_back(operation); }

void failReadsFrom(const std::string& path, std::size_t offset) { world().damagedFrom[hostPath(path)] = offset; }

void lockFile(const std::string& windowsPath) { world().lockedFiles.push_back(hostPath(windowsPath)); }

void watchFileReplacements(std::function<void(const std::string&)> watcher) {
    world().replacementWatcher = std::move(watcher);
}

// True once for each queued failure of `operation`, which it then consumes.
static bool failsNow(FileOperation operation) {
    auto& failing = world().failingFileOperations;
    auto it = std::find(failing.begin(), failing.end(), operation);
    if (it == failing.end()) return false;
    failing.erase(it);
    return true;
}

static bool locked(const std::string& host) {
    const auto& lockedFiles = world().lockedFiles;
    return std::find(lockedFiles.begin(), lockedFiles.end(), host) != lockedFiles.end();
}

// Matches a file name against a pattern with '*' and '?', ignoring case.
static bool wildcardMatch(const char* pattern, const char* name) {
    if (*pattern == '\0') return *name == '\0';
    if (*pattern == '*') return wildcardMatch(pattern + 1, name) || (*name && wildcardMatch(pattern, name + 1));
    if (*name == '\0') return false;
    bool same = *pattern == '?' ||
                std::toupper(static_cast<unsigned char>(*pattern)) == std::toupper(static_cast<unsigned char>(*name));
    return same && wildcardMatch(pattern + 1, name + 1);
}

// The host path of the first entry matching `path`, whose last part may hold wildcards.
static std::string firstMatch(const std::string& path) {
    std::string slashes = path;
    std::replace(slashes.begin(), slashes.end(), '/', '\\');
    const std::size_t cut = platform::findLastCharacter(slashes, '\\', codePageTable());
    std::string last = cut == std::string::npos ? path : path.substr(cut + 1);
    if (last.find_first_of("*?") == std::string::npos) return hostPath(path);
    std::string folder = hostPath(cut == std::string::npos ? "." : path.substr(0, cut + 1));
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    for (const std::string& name : names)
        if (wildcardMatch(last.c_str(), name.c_str())) return (fs::path(folder) / name).string();
    return "";
}

// A world reset without a root has no disk; its files are kept in memory.
static bool inMemory() { return world().root.empty(); }

// Kept in UTF-8: upper-casing a code-page path would change the second bytes of double-byte characters.
static std::string memoryKey(const std::string& path) {
    std::string key = upper(utf8FromCodePage(path));
    std::replace(key.begin(), key.end(), '/', '\\');
    return key;
}

void putMemoryFile(const std::string& windowsPath, const std::string& bytes) {
    world().memoryFiles[memoryKey(windowsPath)] = bytes;
}

void putFile(const std::string& windowsPath, const std::string& bytes) {
    if (inMemory()) {
        putMemoryFile(windowsPath, bytes);
        return;
    }
    std::ofstream(hostPath(windowsPath), std::ios::binary | std::ios::trunc) << bytes;
}

std::string memoryFile(const std::string& windowsPath) {
    auto it = world().memoryFiles.find(memoryKey(windowsPath));
    return it == world().memoryFiles.end() ? std::string() : it->second;
}

static bool heldOpen(const std::string& key) {
    for (const auto& [handle, open] : world().files)
        if (open.hostPath == key) return true;
    return false;
}

// Opens a memory file: read-only modes need it to exist, the others make it.
static int openMemoryFile(const std::string& path, platform::FileMode mode, platform::OpenFailure& failure) {
    World& w = world();
    const std::string key = memoryKey(path);
    const bool writes = mode != platform::FileMode::ReadExisting;
    auto found = w.memoryFiles.find(key);
    failure = found == w.memoryFiles.end() ? platform::OpenFailure::Missing : platform::OpenFailure::Refused;
    if (path.empty() || (found == w.memoryFiles.end() && !writes)) return -1;
    for (const auto& [handle, open] : w.files)
        if (open.hostPath == key && (open.writes || writes)) return -1;
    if (mode == platform::FileMode::WriteTruncate || found == w.memoryFiles.end()) w.memoryFiles[key].clear();
    failure = platform::OpenFailure::None;
    int handle = 1;
    while (w.files.count(handle)) ++handle;
    w.files[handle] = {-1, key, writes, 0, w.memoryFiles[key]};
    return handle;
}

static OpenFile* memoryHandle(int file) {
    auto it = world().files.find(file);
    return it != world().files.end() && it->second.fd < 0 ? &it->second : nullptr;
}

static bool isRegularFile(const std::string& host) {
    std::error_code error;
    return !host.empty() && fs::is_regular_file(host, error);
}

std::string fileKey(const std::string& windowsPath) {
    return inMemory() ? memoryKey(windowsPath) : hostPath(windowsPath);
}

bool fileExists(const std::string& windowsPath) {
    if (windowsPath.empty()) return false;
    if (inMemory()) return world().memoryFiles.count(memoryKey(windowsPath)) != 0;
    return isRegularFile(hostPath(windowsPath));
}

bool readWholeFile(const std::string& windowsPath, std::string& bytes) {
    if (!fileExists(windowsPath)) return false;
    if (inMemory()) {
        bytes = world().memoryFiles[memoryKey(windowsPath)];
        return true;
    }
    std::ifstream in(hostPath(windowsPath), std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace sim

namespace platform {

using sim::world;
namespace fs = std::filesystem;

std::int64_t firstMatchSize(const std::string& path) {
    if (sim::enter(sim::Call::fileSize) || path.empty()) return -1;
    if (sim::inMemory()) {
        auto it = world().memoryFiles.find(sim::memoryKey(path));
        return it == world().memoryFiles.end() ? -1 : static_cast<std::int64_t>(it->second.size());
    }
    std::string host = sim::firstMatch(path);
    std::error_code error;
    if (host.empty() || !fs::exists(host, error)) return -1;
    if (fs::is_directory(host, error)) return 0;
    auto size = fs::file_size(host, error);
    return error ? -1 : static_cast<std::int64_t>(size);
}

bool createFolder(const std::string& path) {
    if (sim::enter(sim::Call::createFolder)) return false;
    std::string host = sim::hostPath(path);
    std::error_code error;
    if (host.empty() || fs::exists(host, error)) return false;
    if (!fs::is_directory(fs::path(host).parent_path(), error)) return false;
    return fs::create_directory(host, error);
}

bool isFolder(const std::string& path) {
    if (sim::enter(sim::Call::isFolder)) return false;
    std::string host = sim::hostPath(path);
    std::error_code error;
    return !host.empty() && !path.empty() && fs::is_directory(host, error);
}

int openFile(const std::string& path, FileMode mode) {
    OpenFailure failure = OpenFailure::None;
    return openFile(path, mode, failure);
}

// A refused open (a sharing violation, access denied) is what an injected failure gives.
int openFile(const std::string& path, FileMode mode, OpenFailure& failure) {
    const bool fails = sim::enter(sim::Call::openFile);
    failure = OpenFailure::Refused;
    bool writes = mode != FileMode::ReadExisting;
    if (fails || (writes && sim::failsNow(sim::FileOperation::Create))) return -1;
    if (sim::inMemory()) return sim::openMemoryFile(path, mode, failure);
    std::string host = sim::hostPath(path);
    std::error_code error;
    if (host.empty() || path.empty() || fs::is_directory(host, error) || sim::locked(host)) return -1;
    int flags = O_RDONLY;
    if (mode == FileMode::ReadWriteAlways) flags = O_RDWR | O_CREAT;
    if (mode == FileMode::WriteTruncate) flags = O_WRONLY | O_CREAT | O_TRUNC;
    sim::World& w = world();
    // Every mode shares reads only, so a writer and any other handle on the same file exclude each other.
    for (const auto& [handle, open] : w.files)
        if (open.hostPath == host && (open.writes || writes)) return -1;
    int fd = ::open(host.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) {
        failure = errno == ENOENT ? OpenFailure::Missing : OpenFailure::Refused;
        return -1;
    }
    failure = OpenFailure::None;
    int handle = 1;
    while (w.files.count(handle)) ++handle;
    struct stat status {};
    const std::size_t size = ::fstat(fd, &status) == 0 ? static_cast<std::size_t>(status.st_size) : 0;
    w.files[handle] = {fd, host, writes, 0, {}, size};
    return handle;
}

namespace {

bool damagedAt(const std::string& host, std::size_t offset) {
    const auto damaged = world().damagedFrom.find(host);
    return damaged != world().damagedFrom.end() && offset >= damaged->second;
}

}  // namespace

int readFile(int file, void* buffer, int count) {
    const bool fails = sim::enter(sim::Call::readFile);
    auto it = world().files.find(file);
    if (fails || it == world().files.end() || !buffer || count <= 0) return -1;
    if (sim::OpenFile* memory = sim::memoryHandle(file)) {
        if (damagedAt(memory->hostPath, memory->offset)) return -1;
        const std::string& bytes = world().memoryFiles[memory->hostPath];
        if (memory->offset >= bytes.size()) return 0;
        const std::size_t got = std::min(bytes.size() - memory->offset, static_cast<std::size_t>(count));
        std::memcpy(buffer, bytes.data() + memory->offset, got);
        memory->offset += got;
        return static_cast<int>(got);
    }
    const off_t at = ::lseek(it->second.fd, 0, SEEK_CUR);
    if (at >= 0 && damagedAt(it->second.hostPath, static_cast<std::size_t>(at))) return -1;
    ssize_t got = ::read(it->second.fd, buffer, static_cast<std::size_t>(count));
    return got >= 0 ? static_cast<int>(got) : -1;
}

// A failing write is a full disk: part of the bytes reach the file.
int writeFile(int file, const void* buffer, int count) {
    const bool fails = sim::enter(sim::Call::writeFile) || sim::failsNow(sim::FileOperation::Write);
    auto it = world().files.find(file);
    if (it == world().files.end() || !buffer || count <= 0) return 0;
    if (sim::OpenFile* memory = sim::memoryHandle(file)) {
        if (!memory->writes) return 0;
        if (fails) count /= 2;
        std::string& bytes = world().memoryFiles[memory->hostPath];
        if (bytes.size() < memory->offset) bytes.resize(memory->offset, '\0');
        bytes.replace(memory->offset, static_cast<std::size_t>(count), static_cast<const char*>(buffer),
                      static_cast<std::size_t>(count));
        memory->offset += static_cast<std::size_t>(count);
        return fails ? 0 : count;
    }
    if (fails) {
        if (::write(it->second.fd, buffer, static_cast<std::size_t>(count / 2)) < 0) return 0;
        return 0;
    }
    ssize_t put = ::write(it->second.fd, buffer, static_cast<std::size_t>(count));
    return put > 0 ? static_cast<int>(put) : 0;
}

bool seekFile(int file, std::int64_t offset) {
    const bool fails = sim::enter(sim::Call::seekFile);
    auto it = world().files.find(file);
    if (fails || it == world().files.end() || offset < 0) return false;
    if (sim::OpenFile* memory = sim::memoryHandle(file)) {
        memory->offset = static_cast<std::size_t>(offset);
        return true;
    }
    return ::lseek(it->second.fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool flushFile(int file) {
    const bool fails = sim::enter(sim::Call::flushFile);
    auto it = world().files.find(file);
    if (fails || it == world().files.end() || sim::failsNow(sim::FileOperation::Flush)) return false;
    sim::OpenFile& open = it->second;
    if (open.fd < 0) {
        open.flushed = world().memoryFiles[open.hostPath];
        return true;
    }
    struct stat status {};
    if (::fsync(open.fd) != 0 || ::fstat(open.fd, &status) != 0) return false;
    open.flushedSize = static_cast<std::size_t>(status.st_size);
    return true;
}

// The handle goes either way; a failing close of a file written to is a
// write-behind the disk refused: what was written since the last flush is lost.
void closeFile(int file) {
    const bool fails = sim::enter(sim::Call::closeFile);
    auto it = world().files.find(file);
    if (it == world().files.end()) return;
    sim::OpenFile& open = it->second;
    if (fails && open.writes && open.fd < 0) world().memoryFiles[open.hostPath] = open.flushed;
    if (fails && open.writes && open.fd >= 0) {
        const int cut = ::ftruncate(open.fd, static_cast<off_t>(open.flushedSize));
        static_cast<void>(cut);
    }
    if (open.fd >= 0) ::close(open.fd);
    world().files.erase(it);
}

// Like a move with replace-existing: fails while the target is held open by
// anyone, and for a folder.
bool replaceFile(const std::string& from, const std::string& to) {
    if (sim::enter(sim::Call::replaceFile) || sim::failsNow(sim::FileOperation::Replace)) return false;
    if (sim::inMemory()) {
        auto& memory = world().memoryFiles;
        const std::string source = sim::memoryKey(from);
        const std::string target = sim::memoryKey(to);
        if (!memory.count(source) || sim::heldOpen(source) || sim::heldOpen(target)) return false;
        memory[target] = std::move(memory[source]);
        if (target != source) memory.erase(source);
        if (world().replacementWatcher) world().replacementWatcher(to);
        return true;
    }
    std::string source = sim::hostPath(from);
    std::string target = sim::hostPath(to);
    std::error_code error;
    if (source.empty() || target.empty() || sim::locked(target) || fs::is_directory(target, error)) return false;
    for (const auto& [handle, open] : world().files)
        if (open.hostPath == target || open.hostPath == source) return false;
    fs::rename(source, target, error);
    if (error) return false;
    if (world().replacementWatcher) world().replacementWatcher(to);
    return true;
}

bool deleteFile(const std::string& path) {
    if (sim::enter(sim::Call::deleteFile)) return false;
    if (sim::inMemory()) {
        const std::string key = sim::memoryKey(path);
        return !sim::heldOpen(key) && world().memoryFiles.erase(key) == 1;
    }
    std::string host = sim::hostPath(path);
    std::error_code error;
    if (host.empty() || sim::locked(host)) return false;
    for (const auto& [handle, open] : world().files)
        if (open.hostPath == host) return false;
    return fs::remove(host, error);
}

}  // namespace platform
