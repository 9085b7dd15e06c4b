#pragma once

// Offers or greys the main window's save and clear commands. They are offered
// only after a run, so a saved list holds the run's result lines, and never
// while a walk still fills the list, so a save is never half a list.
void OfferSaveAndClear(bool offer);

// Sets both commands again from the offer and whether a walk runs; called
// when a walk starts and ends.
void UpdateListCommands();

// Whether the commands may be carried out now.
bool ListCommandsOffered();
