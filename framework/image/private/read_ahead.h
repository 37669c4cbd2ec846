#pragma once

#include "framework/image/buffer.h"
#include "framework/image/source.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

// Decodes the next pictures of a run's folder on worker threads while the run works on the
// picture in hand. The run itself stays sequential and cooperative: a file is decoded ahead at
// the scale and size predicted from the run's last draw, and the rendering is used only when the
// draw asks for exactly that and the file is still the one that was read; otherwise the draw takes
// the sequential path, so what is drawn never depends on the read-ahead. Workers touch nothing but
// files and their own buffers. Used from the GUI thread only.
class ReadAhead final {
public:
    // Whether read-ahead works at all; the environment variable QUOBLY_READ_AHEAD=0 switches it
    // off (the byte-identity test compares runs both ways).
    static bool Enabled();

    // The whole of `source` scaled onto a grid of gridWidth x gridHeight, made on a worker (ahead,
    // or now while the waiter below waits for it); null when the caller should render it itself. Only a cooperative thread's draw goes through workers. Throws what rendering
    // the file throws.
    static std::shared_ptr<ImageBuffer> Render(const ImageSource& source, SourceRect rect, int32_t gridWidth,
        int32_t gridHeight, PixelRect window);

    // Runs `work` on a worker of its own while the waiter below waits for it, as a draw that
    // waits for a worker does: a large picture's encoding is slow enough to be seen. Only from a
    // cooperative thread's turn (and with read-ahead on); else runs it here. `work` must touch
    // nothing but what it was given. Rethrows what it throws.
    static void RunOnWorker(const std::function<void()>& work);

    // Work on a worker that a cooperative thread's turn waits for.
    class Pending {
    public:
        // Blocks the calling thread at most `timeout`; true once the work is done.
        virtual bool WaitFor(std::chrono::milliseconds timeout) const = 0;

    protected:
        ~Pending() = default;
    };

    // Framework-internal: how a turn waits for work on a worker; it returns once the work is done.
    // The library itself only blocks. The window layer installs a waiter that keeps the windows
    // painted and answering meanwhile, and holds back what would run the program's handlers
    // (which may run only while the run yields). No other thread gets a turn during the wait.
    static void SetWaiter(std::function<void(const Pending&)> waiter);

    // Drops every piece of work done or started ahead; waits for nothing.
    static void Drop();

    // How many renderings workers have finished, and how many draws took one: tests and
    // benchmarks see from these that the machinery did its work.
    static int64_t Finished();
    static int64_t Taken();
    // Whether a worker holds work now. Never once the application's event loop has quit.
    static bool Working();
};
