#pragma once

// Offers or greys the main window's save and clear commands. They are offered
// only after a run, so a saved list holds the run's result lines.
void OfferSaveAndClear(bool offer);
