#pragma once
// What a window user tells a running iterated consensus: stop after the current pass, and how
// long each pass stays on the screen. The window sets them; the run reads them between passes.
namespace tav {

// Asks the running iterated run to end after its current pass (the window's Stop, Esc).
void request_stop();
// Whether a stop was asked for since the last clear_stop.
bool stop_requested();
// Forgets an earlier request: a run calls it when it starts.
void clear_stop();

// Seconds each pass of the iterated run stays on the screen before the next; 1 unless set.
double pass_pause_seconds();
// Negative or non-finite values become 0.
void set_pass_pause_seconds(double seconds);

}  // namespace tav
