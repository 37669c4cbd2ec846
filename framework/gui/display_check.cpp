// Is there a display to open? Qt would abort with its platform message; a user over ssh or in a
// script gets one clear line instead.
#include "framework/gui/private/display_check.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The value of a Qt option such as "-platform xcb" or "--display=:1", "" when absent.
std::string option(int argc, char** argv, std::string_view name)
{
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument.starts_with("--"))
            argument.remove_prefix(1);
        if (argument == name && i + 1 < argc)
            return argv[i + 1];
        if (argument.starts_with(name) && argument.size() > name.size() && argument[name.size()] == '=')
            return std::string(argument.substr(name.size() + 1));
    }
    return "";
}

std::optional<std::string> missingX(const std::string& display)
{
    if (display.empty())
        return "no X display is set (DISPLAY is empty)";
    // A server whose queue of new connections is full refuses one for a moment (EAGAIN); only a
    // display that refuses again and again is taken as absent.
    for (int attempt = 0; attempt < 3; ++attempt) {
        xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
        const bool failed = xcb_connection_has_error(connection) != 0;
        xcb_disconnect(connection);
        if (!failed)
            return std::nullopt;
    }
    return "the X display \"" + display + "\" does not answer";
}

std::optional<std::string> missingWayland()
{
    std::string name = environment("WAYLAND_DISPLAY");
    if (name.empty())
        name = "wayland-0";
    const std::string path = name.front() == '/' ? name : environment("XDG_RUNTIME_DIR") + "/" + name;
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return "the Wayland display \"" + name + "\" does not answer";
    std::memcpy(address.sun_path, path.c_str(), path.size());
    const int door = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool answered = door >= 0 && ::connect(door, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (door >= 0)
        ::close(door);
    if (!answered)
        return "the Wayland display \"" + name + "\" does not answer";
    return std::nullopt;
}

} // namespace

// Qt takes the first platform of its list that loads; the check passes when any of them would.
// Platforms other than X and Wayland (offscreen, vnc, eglfs...) need no display to be asked.
std::optional<std::string> MissingDisplay(int argc, char** argv)
{
    std::string platforms = option(argc, argv, "-platform");
    if (platforms.empty())
        platforms = environment("QT_QPA_PLATFORM");
    if (platforms.empty())
        platforms = environment("XDG_SESSION_TYPE") == "wayland" ? "wayland;xcb" : "xcb";
    std::optional<std::string> reason;
    for (size_t start = 0; start <= platforms.size();) {
        const size_t end = std::min(platforms.find(';', start), platforms.size());
        const std::string platform = platforms.substr(start, end - start);
        start = end + 1;
        const std::string name = platform.substr(0, platform.find(':'));
        if (name == "xcb") {
            std::string display = option(argc, argv, "-display");
            reason = missingX(display.empty() ? environment("DISPLAY") : display);
        } else if (name.starts_with("wayland")) {
            reason = missingWayland();
        } else if (!name.empty()) {
            return std::nullopt;
        }
        if (!reason)
            return std::nullopt;
    }
    return reason;
}
