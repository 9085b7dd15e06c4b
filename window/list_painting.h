// Painting of the file list while a worker fills or rewrites it. Under Wine
// every list change repaints the list and flushes the window to the display,
// which costs several milliseconds, far more than the change itself. While a
// worker runs, the list is therefore repainted on a timer instead: its entries
// change exactly as before, only the painting is gathered.
#pragma once

#include <windows.h>

// The main window's timer that repaints a held list.
const UINT_PTR ListPaintTimer = 1;

// Window thread only. Holds nest: the list paints after every change again
// once each hold has been released.
void HoldListPainting();
void ReleaseListPainting();

// Repaints a held list now; the main window calls it on ListPaintTimer.
void PaintHeldList();
