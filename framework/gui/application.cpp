// The application object: the event loop, the items of the command line and those another launch
// hands over.
#include "framework/gui/application.h"

#include "framework/gui/private/held_events.h"
#include "framework/gui/private/quit_requests.h"
#include "framework/gui/runtime.h"
#include "framework/gui/private/single_instance.h"
#include "framework/core/thread.h"
#include "framework/core/private/thread_internals.h"
#include "framework/gui/window.h"
#include "framework/gui/private/application_internals.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <memory>

namespace {

struct AppState {
    Ref<Application> app;
    bool quitting { false };
    int32_t status { 0 };
    bool startFailed { false };
    // The command line's items as the file system's bytes, valid UTF-8 or not.
    std::vector<String> commandLine;
    bool commandLineDelivered { false };
    // Items handed over by later launches before the command line's were delivered.
    std::vector<std::vector<String>> handedOver;
    std::unique_ptr<SingleInstance> door;
};

AppState& state()
{
    static AppState s;
    return s;
}

} // namespace

// The window that start-up opened: the oldest one still shown.
void BringDefaultWindowToFront()
{
    const FrameworkKey key;
    const auto windows = OpenWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (!(*it)->Visible())
            continue;
        QWidget* top = (*it)->TopLevelWidget(key);
        if (top->isMinimized())
            top->showNormal();
        top->raise();
        top->activateWindow();
        return;
    }
}

namespace {

void deliverHandedOver(const std::vector<String>& items)
{
    DeliverOpenedItems(items);
    BringDefaultWindowToFront();
}

void deliverCommandLine()
{
    if (state().commandLineDelivered)
        return;
    state().commandLineDelivered = true;
    DeliverOpenedItems(state().commandLine);
    for (const auto& items : std::exchange(state().handedOver, {}))
        deliverHandedOver(items);
}

void receiveHandedOver(const std::vector<String>& items)
{
    if (!state().commandLineDelivered)
        return state().handedOver.push_back(items);
    deliverHandedOver(items);
}

} // namespace

void TakeCommandLine(int argc, char** argv)
{
    state().commandLine.assign(argv + std::min(argc, 1), argv + argc);
    std::vector<String> items;
    for (const String& argument : state().commandLine) {
        if (argument.empty())
            continue;
        const Ref<FolderItem> item = FolderItem::FromUserPath(argument);
        if (item->Exists())
            items.push_back(item->NativePath());
    }
    OpenInstanceDoor(SingleInstance::DefaultSocketPath(), items);
}

void OpenInstanceDoor(const String& socketPath, const std::vector<String>& items)
{
    auto door = std::make_unique<SingleInstance>();
    switch (door->Open(socketPath, items)) {
    case SingleInstance::Outcome::Listening:
        door->OnItems = &receiveHandedOver;
        state().door = std::move(door);
        break;
    case SingleInstance::Outcome::HandedOver:
        // The running instance has the items: this launch ends before it begins.
        Quit(0);
        break;
    case SingleInstance::Outcome::NoAnswer:
        // Never a second instance beside a running one: both would write the preferences.
        state().startFailed = true;
        Quit(1);
        break;
    case SingleInstance::Outcome::Alone:
        break;
    }
}

void DeliverOpenedItems(const std::vector<String>& arguments)
{
    if (HeldEvents::Holding())
        return HeldEvents::Deliver([arguments] { DeliverOpenedItems(arguments); });
    for (const String& argument : arguments) {
        if (argument.empty() || state().quitting)
            continue;
        const Ref<FolderItem> item = FolderItem::FromUserPath(argument);
        if (!item->Exists())
            continue;
        Ref<Application> app = state().app;
        if (!app || !app->OnOpenDocument)
            continue;
        auto hook = app->OnOpenDocument;
        RunGuarded([&] { hook(item); });
    }
}

void RuntimeRegisterAppObject(const Ref<Application>& app)
{
    state().app = app;
}

Ref<Application> TheApplication()
{
    return state().app;
}

void ReleaseGlobalLists()
{
    ForgetOpenWindows();
    state().app = nullptr;
}

void RunGuarded(const std::function<void()>& body)
{
    try {
        body();
    } catch (const RuntimeException& error) {
        UnhandledException(error);
    } catch (const std::exception& error) {
        // Anything else the program throws is reported the same way; the unwinding of a fiber
        // at quit is no std::exception and passes.
        UnhandledException(RuntimeException(error.what()));
    }
}

void RunFrameworkInitialization(const std::function<void()>& startup)
{
    // A launch that handed its items to the running instance has quit already.
    if (state().quitting)
        return;
    bool finished = false;
    RunGuarded([&] {
        startup();
        finished = true;
    });
    state().startFailed = !finished;
}

void RuntimeRun()
{
    if (state().quitting)
        return;
    if (state().app && state().app->OnOpen) {
        auto hook = state().app->OnOpen;
        RunGuarded(hook);
    }
    QTimer::singleShot(0, qApp, &deliverCommandLine);
    if (state().quitting)
        return;
    QuitRequests::Listen();
    QApplication::exec();
    QuitRequests::StopListening();
}

// Windows close first, front-most first, so that each one's Close event runs (the main
// window's saves the preferences). A Close event that calls Quit again changes nothing. Then
// the threads end: none gets another turn, and one whose run holds its own window (as the
// engine's does) would otherwise keep both alive for ever.
void Quit(int32_t status)
{
    if (state().quitting)
        return;
    state().quitting = true;
    state().status = status;
    // Items handed over from now on would never be opened: a later launch starts afresh instead.
    if (state().door)
        state().door->Close();
    for (const Ref<Window>& window : OpenWindows())
        window->Close();
    EndAllThreads();
    QCoreApplication::exit(status);
}

bool IsQuitting()
{
    return state().quitting;
}

int32_t RuntimeExit()
{
    return state().startFailed && state().status == 0 ? 1 : state().status;
}

namespace Seams {
void ResetQuitState()
{
    state().quitting = false;
    state().status = 0;
    state().startFailed = false;
}
}
