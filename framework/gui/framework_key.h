#pragma once

// A passkey: the framework-internal entry points of the public classes take one, and only the
// framework's own classes can make it, so a class's public face is what the program may call.
class FrameworkKey {
private:
    constexpr FrameworkKey() = default;
    friend class Window;
    friend class RectControl;
    friend struct WindowShell;
    friend class TopLevelWidget;
    friend class ContentWidget;
    friend class Application;
    friend void BringDefaultWindowToFront();
    // The tests reach the same doors through their own support code.
    friend struct FrameworkTestKey;
};
