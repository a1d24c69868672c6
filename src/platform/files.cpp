#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <new>

namespace vx::files {

std::string cwd() {
    std::vector<char> buf(4096);
    while (getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE) return ".";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

bool changedir(const std::string& path) {
    return chdir(path.c_str()) == 0;
}

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

namespace {

std::optional<std::vector<uint8_t>> readfile(const std::string& path, size_t limit, bool whole,
                                             int* error) {
    int dummy = 0;
    int& err = error ? *error : dummy;
    err = 0;
    // Not blocking: a named pipe in the file's place must not hang the game.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        err = errno;
        return std::nullopt;
    }
    auto fail = [&](int why) {
        close(fd);
        err = why;
        return std::nullopt;
    };
    struct stat st;
    if (fstat(fd, &st) != 0) return fail(errno);
    if (!S_ISREG(st.st_mode)) return fail(EISDIR);
    const auto size = static_cast<uint64_t>(std::max<off_t>(st.st_size, 0));
    if (whole && size > limit) return fail(EFBIG);
    std::vector<uint8_t> out;
    try {
        // One block for what will be read: no doubling copies (a sound is megabytes).
        out.resize(static_cast<size_t>(std::min<uint64_t>(size, limit)));
    } catch (const std::bad_alloc&) {
        return fail(ENOMEM);
    }
    size_t done = 0;
    while (done < out.size()) {
        ssize_t n = read(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(errno);
        if (n == 0) break;  // the file shrank meanwhile
        done += static_cast<size_t>(n);
    }
    out.resize(done);
    close(fd);
    return out;
}

}  // namespace

std::optional<std::vector<uint8_t>> readhead(const std::string& path, size_t limit, int* error) {
    return readfile(path, limit, false, error);
}

std::optional<std::vector<uint8_t>> readall(const std::string& path, size_t limit, int* error) {
    return readfile(path, limit, true, error);
}

std::optional<std::string> replacefile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string tmp = path + ".tmp";
    // A file or link left at the temporary name is removed; O_EXCL|O_NOFOLLOW then
    // make sure the file written is a new one, never a link's target.
    if (unlink(tmp.c_str()) != 0 && errno != ENOENT && errno != EISDIR && errno != EPERM)
        return "cannot remove " + tmp + ": " + std::strerror(errno);
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return "cannot create " + tmp + ": " + std::strerror(errno);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            std::string why = std::strerror(n < 0 ? errno : ENOSPC);
            close(fd);
            unlink(tmp.c_str());
            return "cannot write " + tmp + ": " + why;
        }
        done += static_cast<size_t>(n);
    }
    if (fsync(fd) != 0) {
        std::string why = std::strerror(errno);
        close(fd);
        unlink(tmp.c_str());
        return "cannot flush " + tmp + ": " + why;
    }
    if (close(fd) != 0) {
        std::string why = std::strerror(errno);
        unlink(tmp.c_str());
        return "cannot flush " + tmp + ": " + why;
    }
    if (rename(tmp.c_str(), path.c_str()) != 0) {
        std::string why = std::strerror(errno);
        unlink(tmp.c_str());
        return "cannot replace " + path + ": " + why;
    }
    // Make the rename itself durable.
    std::string dir = path.find('/') == std::string::npos ? "." : path.substr(0, path.rfind('/'));
    int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return std::nullopt;
}

std::optional<std::string> makefolders(const std::string& path) {
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/') continue;
        std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0700) == 0 || errno == EEXIST) continue;
        return "cannot make " + part + ": " + std::strerror(errno);
    }
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return path + " is not a folder";
    return std::nullopt;
}

Appender::~Appender() {
    discard();
}

std::optional<std::string> Appender::open(const std::string& path) {
    discard();
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd_ < 0) return "cannot create " + path + ": " + std::strerror(errno);
    struct stat st;
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        return "cannot create " + path + ": not a regular file";
    }
    path_ = path;
    return std::nullopt;
}

std::optional<std::string> Appender::write(const char* data, size_t size) {
    if (fd_ < 0) return "cannot write " + path_ + ": not open";
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd_, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return "cannot write " + path_ + ": " + std::strerror(n < 0 ? errno : ENOSPC);
        done += static_cast<size_t>(n);
    }
    return std::nullopt;
}

std::optional<std::string> Appender::finish(const std::string& path) {
    if (fd_ < 0) return "cannot write " + path_ + ": not open";
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        std::string why = std::strerror(errno);
        unlink(path_.c_str());
        return "cannot write " + path_ + ": " + why;
    }
    // link() never replaces a file, where rename() would.
    if (link(path_.c_str(), path.c_str()) != 0) {
        std::string why = std::strerror(errno);
        unlink(path_.c_str());
        return "cannot name " + path + ": " + why;
    }
    unlink(path_.c_str());
    return std::nullopt;
}

void Appender::discard() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    unlink(path_.c_str());
}

std::vector<std::string> listfolder(const std::string& path) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    return names;
}

bool removefile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

std::string localstamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d_%H-%M-%S", &local);
    return buf;
}

std::string processtag() {
    return std::to_string(static_cast<long>(getpid()));
}

}  // namespace vx::files
