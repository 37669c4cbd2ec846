#pragma once

// The application layer's own doors: the command line and the per-user door at start-up, the
// guard around event handlers, and the list of open windows at finalisation.

#include "framework/core/text.h"

#include <functional>
#include <vector>

// Framework-internal: brings the window that start-up opened to the front, as items handed
// over by a later launch arrive.
void BringDefaultWindowToFront();
// Framework-internal: raises OpenDocument for each argument that names an existing file or
// folder, in order (RuntimeRun hands it the command line once the loop runs).
void DeliverOpenedItems(const std::vector<String>& arguments);
// Framework-internal, at start-up: keeps the command line's items as the file system's bytes and
// opens the per-user door (below) at its usual place.
void TakeCommandLine(int argc, char** argv);
// Framework-internal: when an instance already listens at `socketPath`, hands it `items` and
// quits (status 0, or 1 when it does not take them); otherwise listens there, and items that
// later launches hand over arrive as OpenDocument events, after the command line's, and bring
// the default window to the front.
void OpenInstanceDoor(const String& socketPath, const std::vector<String>& items);
// Framework-internal: runs an event handler called from the event loop; an exception that leaves
// it is reported through UnhandledException and goes no further.
void RunGuarded(const std::function<void()>& body);
// Framework-internal: drops the list of open windows at finalisation.
void ForgetOpenWindows();
