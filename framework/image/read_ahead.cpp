// Pictures decoded ahead on worker threads, and work a run waits for while the window keeps
// answering.
#include "framework/image/private/read_ahead.h"

#include "framework/core/exceptions.h"
#include "framework/core/private/file_system.h"
#include "framework/core/folder_item.h"
#include "framework/image/jpeg.h"
#include "framework/core/thread.h"
#include "framework/core/private/thread_internals.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace {

// What the workers may hold at once, beyond the picture in hand (which always goes ahead): about
// a dozen camera photos in flight, well inside what a run of the application may take.
constexpr int64_t kBudgetBytes = int64_t(112) << 20;

// What renderings done ahead may hold while they wait for the run to draw them. They are small
// for the usual sizes (an 800-pixel rendering is under 2 MB), but a run that keeps pictures at
// their full size is slower to save them than the workers are to decode them, and they would
// pile up.
constexpr int64_t kReadyBytes = int64_t(48) << 20;

// Pictures below this many pixels are drawn on the thread that asks for them.
constexpr int64_t kSmallPixels = int64_t(1) << 18;

std::atomic<int64_t> finishedCount { 0 };
std::atomic<int64_t> takenCount { 0 };

struct Grid {
    int32_t width { 0 };
    int32_t height { 0 };
    friend bool operator==(const Grid&, const Grid&) = default;
};

// The run's last draw, from which the grid of the next pictures is guessed: the same upright size
// gives the same grid; another size the same longest side, scaled as a size rule would.
struct Prediction {
    int32_t width { 0 };
    int32_t height { 0 };
    Grid grid;

    std::optional<Grid> gridFor(int32_t w, int32_t h) const
    {
        if (grid.width < 1)
            return std::nullopt;
        if (w == width && h == height)
            return grid;
        const auto scaled = [](int32_t fixed, int32_t other, int32_t dividing) {
            return int32_t(double(int64_t(fixed) * other) / double(dividing));
        };
        const int32_t side = std::max(grid.width, grid.height);
        const bool longWidth = width > height;
        if (longWidth ? side != grid.width || scaled(side, height, width) != grid.height
                      : side != grid.height || scaled(side, width, height) != grid.width)
            return std::nullopt;
        Grid g = w > h ? Grid { side, scaled(side, h, w) } : Grid { scaled(side, w, h), side };
        if (g.width < 1 || g.height < 1)
            return std::nullopt;
        return g;
    }
};

// One file decoded on a worker. The fields below `done` are the worker's until it sets `done`,
// and read-only afterwards.
struct Job {
    std::string path;
    Prediction rule;
    std::optional<Grid> exact; // the draw in hand: this grid, not a guess
    std::atomic<bool> cancelled { false };
    std::atomic<bool> urgent { false };
    std::atomic<bool> done { false };

    std::optional<FileSystem::Identity> identity;
    std::shared_ptr<const ImageSource> source;
    Grid grid;
    std::shared_ptr<ImageBuffer> result;
    std::exception_ptr error; // an ImageCodecError the sequential path would meet as well
};

// The memory the workers take: a job waits until its bytes fit, unless nothing else is held or
// the run waits for it. A decode larger than the whole budget runs only alone, even for the run:
// two of them at once could take gigabytes.
class Budget {
public:
    bool acquire(Job& job, int64_t bytes)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] {
            return job.cancelled.load() || m_used == 0
                || (bytes <= kBudgetBytes && (job.urgent.load() || m_used + bytes <= kBudgetBytes));
        });
        if (job.cancelled.load())
            return false;
        m_used += bytes;
        return true;
    }
    void release(int64_t bytes)
    {
        {
            std::lock_guard lock(m_mutex);
            m_used -= bytes;
        }
        m_changed.notify_all();
    }
    void poke()
    {
        { std::lock_guard lock(m_mutex); }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int64_t m_used { 0 };
};

Budget& budget()
{
    static Budget b;
    return b;
}

// Signals the end of any job to a run that waits for one.
std::mutex doneMutex;
std::condition_variable doneChanged;

void finish(Job& job)
{
    ++finishedCount;
    {
        const std::lock_guard lock(doneMutex);
        job.done.store(true, std::memory_order_release);
    }
    doneChanged.notify_all();
}

void work(Job& job)
{
    if (job.cancelled.load())
        return finish(job);
    try {
        job.identity = FileSystem::IdentityOf(job.path);
        std::shared_ptr<const ImageSource> source = job.identity ? ImageSource::Probe(job.path) : nullptr;
        const std::optional<Grid> grid = !source ? std::nullopt
            : job.exact                          ? job.exact
                                                 : job.rule.gridFor(source->Width(), source->Height());
        if (grid) {
            const int64_t bytes = source->RenderBytes(grid->width, grid->height);
            if (budget().acquire(job, bytes)) {
                struct Release {
                    int64_t bytes;
                    ~Release() { budget().release(bytes); }
                } release { bytes };
                job.source = source;
                job.grid = *grid;
                job.result = source->Render({ 0, 0, double(source->Width()), double(source->Height()) }, grid->width,
                    grid->height, { 0, 0, grid->width, grid->height }, &job.cancelled);
            }
        }
        if (job.identity != FileSystem::IdentityOf(job.path))
            job.result.reset(); // changed while it was read: the sequential path reads it again
    } catch (const ImageCodecError&) {
        job.result.reset();
        job.error = std::current_exception();
    } catch (...) {
        // Nothing may leave a worker's task: the pool would end the process. Anything but the
        // codec's verdict on the file in hand (a file that cannot be opened, memory that ran out
        // beside other decodes) is left for the draw's sequential path to meet on the run's
        // thread, where it fails the item as it does without the read-ahead. Workers are no
        // fibers, so there is no unwinding of a fiber here that this could swallow.
        job.result.reset();
        job.error = nullptr;
    }
    finish(job);
}

std::function<void(const ReadAhead::Pending&)>& waiter()
{
    static std::function<void(const ReadAhead::Pending&)> w;
    return w;
}

struct State {
    QThreadPool* pool { nullptr };
    // Work the run waits for (an encoding): a worker of its own, so that it starts at once.
    QThreadPool* aside { nullptr };
    std::map<std::string, std::shared_ptr<Job>> jobs;
    Prediction last;
    std::string folder;
    int32_t cursor { 0 }; // the folder's item number of the last picture drawn

    void start(const std::shared_ptr<Job>& job, int priority) { pool->start([job] { work(*job); }, priority); }

    void cancel(const std::shared_ptr<Job>& job)
    {
        job->cancelled.store(true);
        budget().poke();
    }

    void dropAll()
    {
        for (auto& [path, job] : jobs)
            cancel(job);
        jobs.clear();
        last = {};
        folder.clear();
        cursor = 0;
    }

    // Cancels what lies outside the items after `path` in its folder, and starts what lies inside.
    void aheadOf(const std::string& path)
    {
        const size_t slash = path.rfind('/');
        if (slash == std::string::npos)
            return;
        const std::string dir = slash == 0 ? "/" : path.substr(0, slash);
        const Ref<FolderItem> folderItem = FolderItem::FromPath(dir);
        const int32_t count = folderItem->Count();
        const auto pathOf = [&](int32_t index) {
            const Ref<FolderItem> item = folderItem->TrueItem(index);
            return item ? item->NativePath() : String();
        };
        // The run goes through the folder in order: the item drawn is nearly always the next one.
        int32_t index = 0;
        if (dir == folder) {
            for (int32_t candidate : { cursor + 1, cursor, cursor + 2 }) {
                if (candidate >= 1 && candidate <= count && pathOf(candidate) == path) {
                    index = candidate;
                    break;
                }
            }
        }
        for (int32_t i = 1; index == 0 && i <= count; ++i) {
            if (pathOf(i) == path)
                index = i;
        }
        folder = dir;
        cursor = index;

        std::map<std::string, std::shared_ptr<Job>> kept;
        // Three pictures a worker, so that the workers need not wait while the run waits on one
        // slow picture; but no more than their renderings may hold while they wait to be drawn.
        const int64_t gridBytes = std::max<int64_t>(1, int64_t(last.grid.width) * last.grid.height * 4);
        const int32_t ahead = int32_t(std::clamp<int64_t>(kReadyBytes / gridBytes, 2, std::max(2, pool->maxThreadCount() * 3)));
        std::vector<std::string> wanted;
        for (int32_t i = index + 1; index > 0 && i <= std::min(count, index + ahead); ++i)
            wanted.push_back(pathOf(i));
        for (const std::string& p : wanted) {
            if (auto found = jobs.find(p); found != jobs.end())
                kept.insert(*found);
        }
        for (auto& [p, job] : jobs) {
            if (!kept.count(p))
                cancel(job);
        }
        jobs = std::move(kept);
        for (const std::string& p : wanted) {
            if (p.empty() || jobs.count(p))
                continue;
            auto job = std::make_shared<Job>();
            job->path = p;
            job->rule = last;
            jobs[p] = job;
            start(job, 0);
        }
    }
};

State& state();

// Drops all work and waits for the workers to let go of it: no longer than the rows a worker is
// decoding when it is told to stop.
void stopWorkers()
{
    State& st = state();
    st.dropAll();
    st.pool->clear();
    st.pool->waitForDone();
    st.aside->waitForDone();
}

State& state()
{
    static State s = [] {
        State fresh;
        fresh.pool = new QThreadPool;
        fresh.pool->setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
        fresh.aside = new QThreadPool;
        fresh.aside->setMaxThreadCount(1);
        // The application object lives until the process ends, so the workers stop when its event
        // loop has quit: the exit that follows tears down what they use (Qt's image plugins).
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
            QCoreApplication::instance(), &stopWorkers);
        qAddPostRoutine([] {
            stopWorkers();
            delete state().pool;
            state().pool = nullptr;
            delete state().aside;
            state().aside = nullptr;
        });
        OnThreadEnded([] { ReadAhead::Drop(); });
        return fresh;
    }();
    return s;
}

// Work is done when its flag is set; the end of any job wakes whoever waits.
class PendingFlag final : public ReadAhead::Pending {
public:
    explicit PendingFlag(const std::atomic<bool>& done) : m_done(done) {}

    bool WaitFor(std::chrono::milliseconds timeout) const override
    {
        std::unique_lock lock(doneMutex);
        return doneChanged.wait_for(lock, timeout, [&] { return m_done.load(std::memory_order_acquire); });
    }

private:
    const std::atomic<bool>& m_done;
};

// Waits until `done` through the installed waiter, or by blocking when there is none.
void waitUntil(const std::atomic<bool>& done)
{
    if (done.load(std::memory_order_acquire))
        return;
    const ThreadTurnsHeld held;
    const PendingFlag pending(done);
    if (waiter()) {
        waiter()(pending);
        if (done.load(std::memory_order_acquire))
            return;
    }
    std::unique_lock lock(doneMutex);
    doneChanged.wait(lock, [&] { return done.load(std::memory_order_acquire); });
}

void waitFor(Job& job)
{
    job.urgent.store(true);
    budget().poke();
    waitUntil(job.done);
}

} // namespace

void ReadAhead::RunOnWorker(const std::function<void()>& work)
{
    if (!Enabled() || !Thread::Current() || !QCoreApplication::instance())
        return work();
    struct Task {
        std::atomic<bool> done { false };
        std::exception_ptr error;
    };
    const auto task = std::make_shared<Task>();
    // `work` lives in the caller's frame: however the wait ends, the frame outlives the work.
    struct Finished {
        const Task& task;
        ~Finished()
        {
            std::unique_lock lock(doneMutex);
            doneChanged.wait(lock, [&] { return task.done.load(std::memory_order_acquire); });
        }
    };
    state().aside->start([task, &work] {
        // Whatever `work` throws goes back to the run's thread and is thrown there, as if it had
        // run there; an exception leaving the task would end the process. Workers are no fibers,
        // so catching everything here swallows no fiber's unwinding.
        try {
            work();
        } catch (...) {
            task->error = std::current_exception();
        }
        {
            const std::lock_guard lock(doneMutex);
            task->done.store(true, std::memory_order_release);
        }
        doneChanged.notify_all();
    });
    {
        const Finished finished { *task };
        waitUntil(task->done);
    }
    if (task->error)
        std::rethrow_exception(task->error);
}

void ReadAhead::SetWaiter(std::function<void(const Pending&)> w)
{
    waiter() = std::move(w);
}

bool ReadAhead::Enabled()
{
    const char* value = std::getenv("QUOBLY_READ_AHEAD");
    return !value || std::strcmp(value, "0") != 0;
}

std::shared_ptr<ImageBuffer> ReadAhead::Render(const ImageSource& source, SourceRect rect, int32_t gridWidth,
    int32_t gridHeight, PixelRect window)
{
    if (!Enabled() || !Thread::Current() || !QCoreApplication::instance())
        return nullptr;
    const Grid grid { gridWidth, gridHeight };
    if (!(rect == SourceRect { 0, 0, double(source.Width()), double(source.Height()) })
        || !(window == PixelRect { 0, 0, gridWidth, gridHeight }))
        return nullptr;

    State& s = state();
    const std::string& path = source.Path();
    std::shared_ptr<Job> job;
    if (auto found = s.jobs.find(path); found != s.jobs.end()) {
        job = found->second;
        s.jobs.erase(found);
        if (job->exact ? *job->exact != grid : job->rule.gridFor(source.Width(), source.Height()) != grid) {
            s.cancel(job);
            job.reset();
        }
    }
    s.last = { source.Width(), source.Height(), grid };
    // A small picture is decoded here in less time than a worker's turn takes to arrange: it takes
    // a rendering that is ready, and otherwise neither waits nor sends work ahead.
    if (int64_t(source.Width()) * source.Height() < kSmallPixels) {
        if (!job || !job->done.load(std::memory_order_acquire)) {
            if (job)
                s.cancel(job);
            return nullptr;
        }
    } else {
        if (!job) {
            job = std::make_shared<Job>();
            job->path = path;
            job->exact = grid;
            s.start(job, 1);
        }
        s.aheadOf(path);
        waitFor(*job);
    }

    const bool same = !job->cancelled.load() && job->source && *job->source == source && job->grid == grid
        && job->identity && job->identity == FileSystem::IdentityOf(path);
    if (!same)
        return nullptr;
    if (job->error)
        std::rethrow_exception(job->error);
    if (job->result)
        ++takenCount;
    return job->result;
}

int64_t ReadAhead::Finished()
{
    return finishedCount.load();
}

int64_t ReadAhead::Taken()
{
    return takenCount.load();
}

void ReadAhead::Drop()
{
    if (QCoreApplication::instance())
        state().dropAll();
}

bool ReadAhead::Working()
{
    return QCoreApplication::instance() && state().pool->activeThreadCount() > 0;
}
