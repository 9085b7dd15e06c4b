#include "base/program_state.h"

HINSTANCE AppInstance = NULL;
char AppTitle[CaptionBufferSize] = "";
char AppCaption[CaptionBufferSize] = "";
char AppDirectory[PathBufferSize] = "";
HMODULE LanguageModule = NULL;

thread_local char SharedText[SharedTextSize] = "";
