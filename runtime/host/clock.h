// The runtime clock: milliseconds as a double since the first reading.
#pragma once

// Sets up the high-resolution counter (falls back to the tick count).
void InitClock();
// Milliseconds since the first reading; the first reading returns 0.
double ReadClock();
// ReadClock minus the engine start time.
double GetElapsedTime();
