#pragma once
// The start-up probe shared by the editor and its floor: when the window's first frame has been
// painted, print the moment and the peak memory so far, then end the program.

class QWidget;

namespace orvane::bench {

// Prints one line "frame_ns=<CLOCK_MONOTONIC> maxrss_kb=<peak> cpu_us=<user+system>" and quits the
// application once the window's first paint has finished. The harness compares the moment with its
// own clock taken before it started the process.
void ReportFirstFrame(QWidget& window);

}  // namespace orvane::bench
