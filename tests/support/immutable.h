#pragma once

// Makes a file or folder immutable (nothing may change it, no entry be made or removed in it,
// even by root) for the guard's lifetime. Not every file system or user may do this; `ok` tells.

#include <fcntl.h>
#include <linux/fs.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

class Immutable {
public:
    explicit Immutable(std::string path) : m_path(std::move(path)) { ok = set(true); }
    ~Immutable()
    {
        if (ok)
            set(false);
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

    bool ok = false;

private:
    bool set(bool on)
    {
        const int fd = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }

    std::string m_path;
};
