#pragma once

#include "framework/core/exceptions.h"
#include "framework/core/folder_item.h"
#include "framework/core/ref.h"
#include "framework/core/text.h"

#include <functional>
#include <vector>

// The first instruction of main(): SIGTERM, SIGHUP and SIGINT are held from here on and quit in
// order (as File > Quit does) once the event loop runs.
void CatchQuitSignals();
// Start-up: creates the QApplication. Without a display to open, says so in one line and ends
// the process with status 1.
void RuntimeInit(int& argc, char** argv);
// Names the application's desktop entry ("quobly" for quobly.desktop), which gives the windows
// their icon and lets a dock match them to the entry.
void SetDesktopEntry(const String& name);
// Registers a class with the run time, its base first (once) when the base is not yet known.
void RuntimeRegisterClass(const String& name, const String& base);
// The class names in the order of their registration, the framework's own first.
std::vector<String> RegisteredClasses();
// Runs the start-up routine; an exception that leaves it goes to UnhandledException.
void RunFrameworkInitialization(const std::function<void()>& startup);
// The event loop; returns after Quit.
void RuntimeRun();
// Closes every window (their Close events run), then ends the event loop with `status`.
void Quit(int32_t status = 0);
bool IsQuitting();
// Ends the framework; gives the exit status that Quit received.
int32_t RuntimeExit();

// Reports an exception that no handler caught: a message box naming it, and standard error.
void UnhandledException(const RuntimeException& error);

// Services handed to the system. Each has a seam that tests replace.
void Beep();
void ShowURL(const String& url);
// The folder chooser: the chosen folder, or nil when the user cancels.
Ref<FolderItem> SelectFolder();
// A modal message box with one OK button; `details`, when there are any, behind its "Show
// Details…" button.
void MsgBox(const String& message, const String& details = String());

namespace Seams {
void SetBeep(std::function<void()> handler);
void SetShowURL(std::function<void(const String&)> handler);
void SetSelectFolder(std::function<Ref<FolderItem>()> handler);
void SetMsgBox(std::function<void(const String&)> handler);
void SetMsgBoxWithDetails(std::function<void(const String&, const String&)> handler);
void ResetAll();
// Lets a test process quit more than once: forgets an earlier Quit and its status.
void ResetQuitState();
}
