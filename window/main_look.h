// The main window's look follows from its state, set here and nowhere else:
// idle, walking (a folder-expansion worker fills the list) or running (a
// digest run, a check or a comparison behind the progress dialog). Window thread only;
// workers change the state by message.
#pragma once

// What the last events offered, the look aside: the start button (after a
// walk or a cancel, not after a finished run or a clear), and the save and
// clear commands (only after a run, so a saved list holds its lines).
void OfferStart(bool offer);
void OfferSaveAndClear(bool offer);

// Sets the main window's controls, menu and taskbar state from the state:
// while walking the busy look (list disabled, "Scanning..." on the start
// button, the taskbar indeterminate, Edit > Stop search offered); while
// running the list and the start button disabled; when idle what is offered
// (Update list after a finished check of a recorded list).
void UpdateMainLook();
