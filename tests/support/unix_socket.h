#pragma once

// A local socket bound at a path, standing in for another instance's door (a crashed one that
// left its socket file behind, or one that answers wrongly). -1 when it cannot be made.

#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

inline int BindUnixSocket(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return -1;
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
