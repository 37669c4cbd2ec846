#pragma once

// While a run waits for a picture made on a worker, the window is painted but closing it waits:
// closing runs the program's handlers, which may run only while the run yields.

// Makes the draws of the picture read-ahead hold back the closing of windows while they wait; the
// windows are closed once the wait is over.
void DeferClosingWhileDrawsWait();
