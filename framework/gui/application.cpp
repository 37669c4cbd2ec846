#include "framework/gui/application.h"

#include "framework/gui/qt_convert.h"
#include "framework/gui/runtime.h"
#include "framework/core/thread.h"
#include "framework/gui/window.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

namespace {

struct AppState {
    Ref<Application> app;
    bool quitting { false };
    int32_t status { 0 };
};

AppState& state()
{
    static AppState s;
    return s;
}

void deliverCommandLine()
{
    std::vector<String> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i)
        arguments.push_back(fromQt(all[i]));
    DeliverOpenedItems(arguments);
}

} // namespace

void DeliverOpenedItems(const std::vector<String>& arguments)
{
    for (const String& argument : arguments) {
        const QFileInfo info(toQt(argument));
        if (argument.empty() || !info.exists() || state().quitting)
            continue;
        Ref<Application> app = state().app;
        if (!app || !app->OnOpenDocument)
            continue;
        auto hook = app->OnOpenDocument;
        const Ref<FolderItem> item = FolderItem::FromUserPath(fromQt(info.absoluteFilePath()));
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
    RunGuarded(startup);
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
    QApplication::exec();
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
    return state().status;
}

namespace Seams {
void ResetQuitState()
{
    state().quitting = false;
    state().status = 0;
}
}
