// Atomic replacement of a file and the cleanup of the temporary files of killed writers.
#include "AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTempMark = ".tmp";

#ifdef _WIN32

bool WriteWhole(const std::string& target, const std::string& temp, const std::string& text) {
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    size_t done = 0;
    while (ok && done < text.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
        ok = WriteFile(file, text.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    ok = ok && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    ok = ok && MoveFileExA(temp.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    return ok;
}

void RemoveTemp(const std::string& temp) {
    DeleteFileA(temp.c_str());
}

bool FolderTakesFiles(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           _access(folder.c_str(), 2) == 0;
}

bool FileReplaceable(const std::string& file, const std::string&) {
    const DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

unsigned long ProcessId() {
    return GetCurrentProcessId();
}

bool ProcessRuns(unsigned long pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) {
        // Not there, or not ours to look at: only a process that is surely gone counts as gone.
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    DWORD code = 0;
    const bool runs = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return runs;
}

#else

bool WriteWhole(const std::string& target, const std::string& temp, const std::string& text) {
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    // Keep the permissions of the file being replaced.
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    }
    size_t done = 0;
    while (ok && done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        if (ok) {
            done += static_cast<size_t>(n);
        }
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (ok) {
        // Make the rename itself durable; a failure here no longer endangers either file.
        const std::string folder = fs::path(target).parent_path().string();
        const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
    return ok;
}

void RemoveTemp(const std::string& temp) {
    ::unlink(temp.c_str());
}

// With the effective ids: what this process can actually do there.
bool Accessible(const std::string& path, int mode) {
    return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

bool FolderTakesFiles(const std::string& folder) {
    return Accessible(folder, W_OK | X_OK);
}

bool FileReplaceable(const std::string& file, const std::string& folder) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || !Accessible(file, W_OK)) {
        return false;
    }
    struct stat dir {};
    const uid_t self = ::geteuid();
    if (::stat(folder.c_str(), &dir) == 0 && (dir.st_mode & S_ISVTX) != 0 && self != 0 &&
        st.st_uid != self && dir.st_uid != self) {
        return false;
    }
    return true;
}

unsigned long ProcessId() {
    return static_cast<unsigned long>(::getpid());
}

bool ProcessRuns(unsigned long pid) {
    const auto id = static_cast<pid_t>(pid);
    if (id <= 0 || static_cast<unsigned long>(id) != pid) {
        return true;  // not a process id this system hands out: leave the file alone
    }
    // EPERM: the process exists but belongs to someone else.
    return ::kill(id, 0) == 0 || errno != ESRCH;
}

#endif

// The writer's process id of a temporary file name "<base>.tmp<pid>-<n>", or 0 when `name`
// is not one.
unsigned long TempWriter(std::string_view name, std::string_view base) {
    if (name.size() <= base.size() + kTempMark.size() || name.substr(0, base.size()) != base ||
        name.substr(base.size(), kTempMark.size()) != kTempMark) {
        return 0;
    }
    const std::string_view rest = name.substr(base.size() + kTempMark.size());
    const size_t dash = rest.find('-');
    const auto digits = [](std::string_view s) {
        return !s.empty() && s.size() <= 10 &&
               std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (dash == std::string_view::npos || !digits(rest.substr(0, dash)) ||
        !digits(rest.substr(dash + 1))) {
        return 0;
    }
    return std::strtoul(std::string(rest.substr(0, dash)).c_str(), nullptr, 10);
}

}  // namespace

bool CanReplaceFile(const std::string& target) {
    const std::string file = FileBehindLinks(target);
    const fs::path folder = fs::path(file).parent_path();
    const std::string folderName = folder.empty() ? std::string(".") : folder.string();
    return FolderTakesFiles(folderName) && FileReplaceable(file, folderName);
}

std::string FileBehindLinks(const std::string& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        const fs::path resolved = fs::weakly_canonical(path, ec);
        if (!ec) {
            return resolved.string();
        }
    }
    return path;
}

bool ReplaceFileWhole(const std::string& target, const std::string& text) {
    if (!CanReplaceFile(target)) {
        return false;
    }
    static int counter = 0;
    const std::string temp = target + std::string(kTempMark) + std::to_string(ProcessId()) + "-" +
                             std::to_string(++counter);
    if (!WriteWhole(target, temp, text)) {
        RemoveTemp(temp);
        return false;
    }
    return true;
}

void RemoveStaleTempFiles(const std::string& target) {
    const fs::path path(target);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string base = path.filename().string();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const unsigned long writer = TempWriter(name, base);
        if (writer == 0 || writer == ProcessId() || ProcessRuns(writer)) {
            continue;
        }
        std::error_code ignored;
        if (fs::is_regular_file(it->symlink_status(ignored))) {
            fs::remove(it->path(), ignored);
        }
    }
}
