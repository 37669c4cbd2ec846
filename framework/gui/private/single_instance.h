#pragma once

#include "framework/core/text.h"

#include <functional>
#include <memory>
#include <vector>

class QLocalServer;

// One running instance per user. The first launch listens on a local socket that only the
// user's account can reach; a later launch hands its items to it and ends, so that a file
// manager's Open With reaches the window the user already has.
class SingleInstance final {
public:
    enum class Outcome {
        Listening,  // this process is the running instance
        HandedOver, // an instance was running and took the items: this process ends
        NoAnswer,   // an instance was running and did not take them
        Alone,      // no door could be opened: this process runs without one
    };

    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // The door's socket in the user's runtime folder.
    static String DefaultSocketPath();

    // Hands `items` (absolute paths) to the instance that listens at `socketPath`, or, when none
    // does, listens there itself. A socket left behind by a crashed instance is replaced.
    Outcome Open(const String& socketPath, const std::vector<String>& items);

    // Stops listening: a later launch then becomes the running instance itself.
    void Close();

    // Raised on the event loop for each message that names only existing items, in its order.
    std::function<void(const std::vector<String>& items)> OnItems;

    // The message on the wire: a header with the length, then each path followed by a NUL.
    static std::string Encode(const std::vector<String>& items);
    struct Parsed {
        enum class State { Incomplete, Invalid, Complete } state;
        std::vector<String> items;
    };
    // What the bytes received so far make: more to come, no message of ours (garbage, too long,
    // a path that is empty or not absolute, bytes after the end), or a whole list of paths.
    static Parsed Parse(const std::string& received);

private:
    void acceptConnections();
    std::unique_ptr<QLocalServer> m_server;
};
