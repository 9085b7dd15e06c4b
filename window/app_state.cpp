#include "window/app_state.h"

HWND MainWindow = NULL;
HMENU MainMenu = NULL;
GuiListbox* FileList = nullptr;
char FileNameBuffer[PathBufferSize] = "";
HWND ProgressWindow = NULL;
HANDLE HashThread = NULL;
HANDLE ExpandThread = NULL;
std::vector<CheckExpectation> CheckExpectations;
CheckTally CheckResult = {};
RecordedWork Recorded;
