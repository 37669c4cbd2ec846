// Pictures' files written and synced side by side on workers, and named in the order of the saves.
#include "framework/image/private/save_queue.h"

#include "framework/core/private/atomic_file.h"
#include "framework/core/exceptions.h"
#include "framework/core/private/thread_internals.h"
#include "framework/core/thread.h"
#include "framework/image/private/read_ahead.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>

namespace {

// At most this many files in flight, and this many bytes waiting to be written: enough to keep a
// slow device's syncs side by side, and little memory beside the run's own (a photo's PNG with
// its alpha channel is some 20 MB).
constexpr size_t kMostInFlight = 16;
constexpr int64_t kMostBytes = int64_t(64) << 20;

struct Commit {
    std::weak_ptr<const FolderHandle> folder;
    std::string name;
    // The worker's until `ready`, then the namer's; null once the file is named or given up, and
    // for a file that was made at once.
    std::unique_ptr<AtomicFile> file;
    std::vector<uint8_t> bytes;
    int64_t size { 0 };
    std::string error;
    bool ready { false }; // written and synced, or failed: guarded by the queue's mutex
};

struct State {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<Commit>> inOrder; // not yet named, in the order of the saves
    std::vector<std::shared_ptr<Commit>> ended;  // named or failed, not yet taken
    int64_t bytes { 0 };
    bool naming { false }; // a worker names the files that are ready, one after the other
};

State& state()
{
    static State s;
    return s;
}

QThreadPool& workers()
{
    static QThreadPool* pool = [] {
        auto* made = new QThreadPool;
        // Each worker mostly waits for its sync: as many as there may be files in flight.
        made->setMaxThreadCount(int(kMostInFlight));
        // The process ends only once every picture it said it saved is whole under its name.
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, QCoreApplication::instance(),
            &SaveQueue::WaitForAll);
        qAddPostRoutine([] {
            SaveQueue::WaitForAll();
            delete pool;
            pool = nullptr;
        });
        // A thread that was ended (at Quit) never asked for its saves' ends: its pictures are
        // still made whole before anything else goes on.
        OnThreadEnded(&SaveQueue::WaitForAll);
        return made;
    }();
    return *pool;
}

// The one wait of the queue, on the thread that saves: the window keeps painting and answering
// meanwhile, as it does while a draw waits for a worker. `ready` is asked under the queue's mutex.
void waitPainting(const std::function<bool()>& ready)
{
    State& s = state();
    {
        const std::lock_guard lock(s.mutex);
        if (ready())
            return;
    }
    ReadAhead::RunOnWorker([&] {
        std::unique_lock lock(s.mutex);
        s.changed.wait(lock, ready);
    });
}

void name(Commit& commit)
{
    if (!commit.file)
        return;
    try {
        commit.file->Commit();
    } catch (const NameTakenException&) {
        // The name was free at the save, and the file was written meanwhile: whatever took the
        // name is someone else's, and is neither replaced nor followed.
        commit.error = "The file \"" + commit.file->Path()
            + "\" was not made: another item took its name while the picture was being written, and was left as it is";
    } catch (const IOException& error) {
        commit.error = error.Message();
    }
    commit.file.reset();
}

// Names, one after the other, the files at the head of the line that are ready; only one thread
// at a time does, and the one that makes the head ready takes over when none does.
void nameInOrder(std::unique_lock<std::mutex>& lock)
{
    State& s = state();
    if (s.naming)
        return;
    s.naming = true;
    while (!s.inOrder.empty() && s.inOrder.front()->ready) {
        const std::shared_ptr<Commit> head = s.inOrder.front();
        lock.unlock();
        name(*head);
        lock.lock();
        s.inOrder.pop_front();
        s.ended.push_back(head);
    }
    s.naming = false;
    s.changed.notify_all();
}

void writeAndSync(const std::shared_ptr<Commit>& commit)
{
    try {
        commit->file->Write(commit->bytes.data(), commit->bytes.size());
        commit->file->Sync();
    } catch (const IOException& error) {
        commit->error = error.Message();
        commit->file.reset();
    }
    std::vector<uint8_t>().swap(commit->bytes);
    State& s = state();
    std::unique_lock lock(s.mutex);
    s.bytes -= commit->size;
    commit->ready = true;
    nameInOrder(lock);
}

void append(const std::shared_ptr<Commit>& commit)
{
    State& s = state();
    std::unique_lock lock(s.mutex);
    s.inOrder.push_back(commit);
    s.bytes += commit->size;
    if (commit->ready)
        nameInOrder(lock);
}

} // namespace

bool SaveQueue::Takes()
{
    return ReadAhead::Enabled() && Thread::Current() && QCoreApplication::instance();
}

void SaveQueue::Add(std::shared_ptr<const FolderHandle> folder, const std::string& name, std::vector<uint8_t> bytes)
{
    State& s = state();
    const int64_t size = int64_t(bytes.size());
    waitPainting([&] { return s.inOrder.size() < kMostInFlight && (s.bytes == 0 || s.bytes + size <= kMostBytes); });
    auto commit = std::make_shared<Commit>();
    commit->folder = folder;
    commit->name = name;
    // Made here, so that a name taken now or a folder that went is the save's own failure.
    commit->file = std::make_unique<AtomicFile>(std::move(folder), name);
    commit->bytes = std::move(bytes);
    commit->size = size;
    append(commit);
    workers().start([commit] { writeAndSync(commit); });
}

void SaveQueue::AddDone(const std::shared_ptr<const FolderHandle>& folder, const std::string& name)
{
    auto commit = std::make_shared<Commit>();
    commit->folder = folder;
    commit->name = name;
    commit->ready = true;
    append(commit);
}

std::vector<SaveQueue::Ended> SaveQueue::Take(const FolderHandle& folder, bool wait)
{
    State& s = state();
    const auto into = [&](const std::shared_ptr<Commit>& commit) { return commit->folder.lock().get() == &folder; };
    if (wait)
        waitPainting([&] { return std::none_of(s.inOrder.begin(), s.inOrder.end(), into); });
    std::vector<Ended> taken;
    const std::lock_guard lock(s.mutex);
    std::vector<std::shared_ptr<Commit>> left;
    for (const std::shared_ptr<Commit>& commit : s.ended) {
        if (into(commit))
            taken.push_back({ commit->name, commit->error });
        else if (!commit->folder.expired())
            left.push_back(commit); // a folder nobody holds any more has nobody to tell
    }
    s.ended = std::move(left);
    return taken;
}

void SaveQueue::WaitForAll()
{
    State& s = state();
    std::unique_lock lock(s.mutex);
    s.changed.wait(lock, [&] { return s.inOrder.empty(); });
}
