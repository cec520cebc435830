#pragma once

#include <functional>

// Runs the thread's queued events (port notifications, timers) until done()
// holds or timeoutMs passes; returns done()'s last value. For tests that wait
// on something another thread posts.
bool ProcessEventsUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// Runs the queued events for ms milliseconds.
void ProcessEventsFor(int ms);

// A main window closed by an earlier test asked the application to quit;
// until an application loop has run again, every modal loop returns at once.
// Runs one loop so that the next dialog's loop waits as it should.
void ClearPendingQuit();
