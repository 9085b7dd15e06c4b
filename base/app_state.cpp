#include "base/app_state.h"

HINSTANCE AppInstance = NULL;
char AppTitle[CaptionBufferSize] = "";
char AppCaption[CaptionBufferSize] = "";
char AppDirectory[PathBufferSize] = "";
HMODULE LanguageModule = NULL;

thread_local char SharedText[SharedTextSize] = "";

HWND MainWindow = NULL;
HMENU MainMenu = NULL;
GuiListbox* FileList = nullptr;
char FileNameBuffer[PathBufferSize] = "";
HWND ProgressWindow = NULL;
HANDLE HashThread = NULL;
HANDLE ExpandThread = NULL;
