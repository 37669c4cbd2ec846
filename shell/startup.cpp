// Start-up and shut-down: registering the classes, building the application, and finalization.
#include "shell/startup.h"

#include "framework/gui/application.h"
#include "framework/gui/runtime.h"
#include "main_window/main.h"
#include "shell/app.h"
#include "shell/credits.h"
#include "shell/menu.h"
#include "shell/whelp.h"
#include "strings/file_types.h"

void RegisterClasses()
{
    // The engine's class comes in as the base of the window's engine instance, ahead of its own
    // place in this list; the run time registers each name once.
    RuntimeRegisterClass("Main", "Window");
    RuntimeRegisterClass("Main.RBType", "RadioButton");
    RuntimeRegisterClass("Main.threadrun1", "threadrun");
    RuntimeRegisterClass("Menu", "MenuBar");
    RuntimeRegisterClass("threadrun", "Thread");
    RuntimeRegisterClass("Credits", "Window");
    RuntimeRegisterClass("App", "Application");
    RuntimeRegisterClass("WHelp", "Window");
}

void Main_()
{
    Main_(Startup);
}

void Main_(const std::function<void()>& startup)
{
    // An exception that ends the start-up routine has been reported by then; the application
    // goes down at once rather than run an event loop that may have no window to end it.
    bool started = false;
    RunFrameworkInitialization([&] {
        startup();
        started = true;
    });
    if (!started)
        return;
    try {
        RuntimeRun();
    } catch (const RuntimeException& error) {
        UnhandledException(error);
    }
}

void Startup()
{
    RuntimeInitExternalClasses();
    InitPluginEntrypoints();
    InitFileTypes();
    NewAppInstance();
    ApplicationAddMenuHandlers();
    MakeDefaultView();
}

void RuntimeInitExternalClasses()
{
    // The framework is linked in, so its classes are bound before any code of ours runs.
}

void InitPluginEntrypoints()
{
    // The disclosure triangle and the HTML viewer are framework classes here, not plug-ins:
    // there are no entry points to look up.
}

void InitFileTypes()
{
    FileTypes::Initialize();
}

void NewAppInstance()
{
    auto app = MakeRef<App>();
    app->Constructor();
    app->MenuBar(Menu::instance());
    RuntimeRegisterAppObject(app);
}

void ApplicationAddMenuHandlers()
{
    // The application binds no menu handlers of its own: the main window routes every item.
}

void MakeDefaultView()
{
    // The window stays open in the framework's list of windows; this reference is not needed.
    Main::instance();
}

void Finalization()
{
    ReleaseGlobalLists();
    FileTypes::pText_Exit();
    FileTypes::pImageJpeg_Exit();
    FileTypes::pAll_Exit();
    FileTypes::pPref_Exit();
    Menu::ReleaseInstance();
}
