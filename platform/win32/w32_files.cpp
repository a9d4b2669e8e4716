// Files by small handle numbers and folders.
#include "platform/file_lookup.h"
#include "platform/files.h"
#include "platform/win32/w32_state.h"

namespace platform {

using w32::services;

static HANDLE fileHandle(int file) {
    auto& files = services().files;
    if (file < 0 || static_cast<std::size_t>(file) >= files.size()) {
        return nullptr;
    }
    return files[static_cast<std::size_t>(file)];
}

std::int64_t firstMatchSize(const std::string& path) {
    if (path.empty()) {
        return -1;
    }
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return -1;
    }
    FindClose(search);
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
}

bool createFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

bool isFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int openFile(const std::string& path, FileMode mode) {
    OpenFailure failure = OpenFailure::None;
    return openFile(path, mode, failure);
}

int openFile(const std::string& path, FileMode mode, OpenFailure& failure) {
    DWORD access = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    if (mode == FileMode::ReadWriteAlways) {
        access = GENERIC_READ | GENERIC_WRITE;
        disposition = OPEN_ALWAYS;
    } else if (mode == FileMode::WriteTruncate) {
        access = GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
    }
    HANDLE handle =
        CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        failure = missing ? OpenFailure::Missing : OpenFailure::Refused;
        return -1;
    }
    failure = OpenFailure::None;
    auto& files = services().files;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i] == nullptr) {
            files[i] = handle;
            return static_cast<int>(i);
        }
    }
    files.push_back(handle);
    return static_cast<int>(files.size() - 1);
}

int readFile(int file, void* buffer, int count) {
    HANDLE handle = fileHandle(file);
    DWORD done = 0;
    if (handle == nullptr || buffer == nullptr || count <= 0) return -1;
    if (!ReadFile(handle, buffer, static_cast<DWORD>(count), &done, nullptr)) return -1;
    return static_cast<int>(done);
}

int writeFile(int file, const void* buffer, int count) {
    HANDLE handle = fileHandle(file);
    DWORD done = 0;
    if (handle == nullptr || buffer == nullptr || count <= 0 ||
        !WriteFile(handle, buffer, static_cast<DWORD>(count), &done, nullptr)) {
        return 0;
    }
    return static_cast<int>(done);
}

bool seekFile(int file, std::int64_t offset) {
    HANDLE handle = fileHandle(file);
    if (handle == nullptr || offset < 0) {
        return false;
    }
    LONG high = static_cast<LONG>(offset >> 32);
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(handle, static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

bool flushFile(int file) {
    HANDLE handle = fileHandle(file);
    return handle != nullptr && FlushFileBuffers(handle) != 0;
}

void closeFile(int file) {
    HANDLE handle = fileHandle(file);
    if (handle != nullptr) {
        CloseHandle(handle);
        services().files[static_cast<std::size_t>(file)] = nullptr;
    }
}

bool replaceFile(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool deleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

}  // namespace platform
