#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

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

std::optional<std::vector<uint8_t>> readall(const std::string& path) {
    // Not blocking: a named pipe in the file's place must not hang the game.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return std::nullopt;
    }
    std::vector<uint8_t> out;
    // One block of the file's size: no doubling copies (a music track is megabytes).
    if (st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
    uint8_t buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        out.insert(out.end(), buf, buf + n);
    }
    close(fd);
    return out;
}

std::optional<std::string> replacefile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string tmp = path + ".tmp";
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return "cannot create " + tmp + ": " + std::strerror(errno);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            std::string why = std::strerror(errno);
            close(fd);
            unlink(tmp.c_str());
            return "cannot write " + tmp + ": " + why;
        }
        done += static_cast<size_t>(n);
    }
    if (fsync(fd) != 0 || close(fd) != 0) {
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
