// Whether the widget under the pointer may have changed since it was last looked up. Finding
// it means asking the display server where the pointer is and which window is there (two round
// trips, each waking the program and the toolkit's event thread); the idle step asks after
// every event-loop pass, but only pointer and keyboard input and widgets shown, hidden, moved
// or given another hint can change the answer.
#pragma once

// True when such an event has come since the last call (and on the first call); clears it.
bool PointerTargetMayHaveChanged();
