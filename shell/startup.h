#pragma once

#include <functional>

// How the application comes up and goes down. main() runs these in order: RuntimeInit, the
// translations, RegisterClasses, Main_ (start-up routine and event loop), Finalization, and
// RuntimeExit gives the exit status.

// Registers the program's classes with the run time, each base class first.
void RegisterClasses();

// The body of the entry routine: runs Startup through the framework's initialisation, then the
// event loop until the application quits. When the start-up routine ends with an exception, it
// returns without running the loop.
void Main_();
void Main_(const std::function<void()>& startup);

// The start-up routine and its steps, in the order Startup runs them.
void Startup();
void RuntimeInitExternalClasses();
void InitPluginEntrypoints();
void InitFileTypes();
void NewAppInstance();
void ApplicationAddMenuHandlers();
void MakeDefaultView();

// Releases, in order, the framework's global lists, the four file types and the menu bar.
void Finalization();
