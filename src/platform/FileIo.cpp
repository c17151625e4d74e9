#include "platform/FileIo.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kTempMark = ".kintra-save-";

// Why a file of this type cannot be read or replaced like a document.
std::string NotRegularReason(mode_t mode) {
    return S_ISDIR(mode) ? "it is a folder" : "it is not a regular file";
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a save of `path` replaces: symbolic links in the last component are followed, also
// when the file they point to does not exist yet (the save creates it).
bool ResolveTarget(const std::string& path, std::string& target, std::string& error) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0) {
            error = std::strerror(errno);
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        if (link.empty()) {
            error = std::strerror(ENOENT);
            return false;
        }
        if (link.front() != '/') {
            const std::string folder = FolderOf(target);
            link = (folder == "/" ? folder : folder + "/") + link;
        }
        target = link;
    }
    error = std::strerror(ELOOP);
    return false;
}

bool ProcessIsGone(long pid) {
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Removes the temporary files of saves whose process died (killed during a save) from `folder`.
// Only regular files of this user named like ours are touched.
void RemoveStaleTemporaries(const std::string& folder) {
    DIR* d = ::opendir(folder.c_str());
    if (!d) return;
    const int dfd = ::dirfd(d);
    while (const dirent* e = ::readdir(d)) {
        long pid = 0;
        if (!IsSaveTemporaryName(e->d_name, pid) || pid == ::getpid() || !ProcessIsGone(pid)) continue;
        struct stat st {};
        if (::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid())
            continue;
        ::unlinkat(dfd, e->d_name, 0);
    }
    ::closedir(d);
}

} // namespace

std::string PlainFileName(const std::string& text, std::size_t room) {
    std::string name;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (name.empty() && (c == '.' || c == ' ')) continue;
        name += (c == '/' || c == '\\' || c < 0x20 || c == 0x7f) ? '_' : ch;
    }
    const std::size_t most = room < 255 ? 255 - room : 0;
    if (name.size() > most) {
        std::size_t cut = most;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xc0) == 0x80)
            --cut;
        name.resize(cut);
    }
    return name;
}

bool IsSaveTemporaryName(const std::string& name, long& pid) {
    if (name.size() < 2 || name[0] != '.') return false;
    const auto mark = name.rfind(kTempMark);
    if (mark == std::string::npos || mark == 0) return false;
    std::size_t at = mark + std::strlen(kTempMark);
    const std::size_t digits = at;
    long value = 0;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9' && at - digits < 10)
        value = value * 10 + (name[at++] - '0');
    if (at == digits || at >= name.size() || name[at] != '-' || name.size() - at - 1 != 6) return false;
    for (std::size_t i = at + 1; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
    }
    pid = value;
    return true;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    // Look before opening: opening a FIFO waits for a writer, and opening a device may act.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = NotRegularReason(st.st_mode);
        return false;
    }
    // Non-blocking in case the name was swapped for something else meanwhile.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = NotRegularReason(st.st_mode);
        ::close(fd);
        return false;
    }
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), buf, buf + n);
    }
    ::close(fd);
    return true;
}

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size, std::string& error) {
    if (path.empty()) {
        error = std::strerror(ENOENT);
        return false;
    }
    std::string target;
    if (!ResolveTarget(path, target, error)) return false;

    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists) {
        if (!S_ISREG(st.st_mode)) {
            error = NotRegularReason(st.st_mode);
            return false;
        }
        // Also for a user who could write anyway (the owner of the folder, or root).
        if ((st.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
            error = "it is read-only";
            return false;
        }
    }

    const std::string dir = FolderOf(target);
    RemoveStaleTemporaries(dir);

    // ".NAME.kintra-save-PID-XXXXXX", the name cut so that the whole stays a valid file name.
    const std::string suffix = kTempMark + std::to_string(::getpid()) + "-XXXXXX";
    std::string base = NameOf(target);
    const std::size_t room = 255 - 1 - suffix.size();
    if (base.size() > room) base.resize(room);
    std::string tmpl = (dir == "/" ? dir : dir + "/") + "." + base + suffix;
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    const std::string tmp(name.data());
    auto fail = [&](int err) {
        error = std::strerror(err);
        if (fd >= 0) ::close(fd);
        ::unlink(tmp.c_str());
        return false;
    };
    // Keep the permissions of the file being replaced, never its set-user-id and set-group-id
    // bits; a new file gets the usual 0666 & ~umask.
    if (exists) {
        if (::fchmod(fd, st.st_mode & 07777 & ~(S_ISUID | S_ISGID)) != 0) return fail(errno);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd, 0666 & ~mask) != 0) return fail(errno);
    }
    const auto* p = static_cast<const char*>(data);
    std::size_t left = size;
    while (left > 0) {
        // A file-size limit makes this fail with EFBIG, provided the program ignores SIGXFSZ.
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) return fail(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail(errno);
    if (::rename(tmp.c_str(), target.c_str()) != 0) return fail(errno);
    // Make the rename itself durable.
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}
