#pragma once
// Lets the window repaint and its handlers run while the thread is busy.

// Dispatches every message waiting for the calling thread and returns when none
// is left or when the next one is the request to quit, which stays queued for
// the main message loop.
void process_events();
