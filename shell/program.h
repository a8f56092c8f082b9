#pragma once
// The program: its windows in their order and the message loop. main()
// runs it with the real application object; the end-to-end test runs it
// with its own, answering the questions through the scripted hook.

namespace gui {
class TApplication;
}

// Reads the user's decimal separator into DecimalSeparator, creates the
// start-up window (the main form), the diagnostic window, the
// log and the balancing workspace, stopping early when a window ended the
// application while it was created, then runs the message loop until the
// shutdown ends it.
void RunProgram(gui::TApplication& application);
