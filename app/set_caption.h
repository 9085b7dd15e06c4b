#pragma once

// Sets the main window's caption to "AppCaption: text", or to AppCaption alone
// when text is empty. text is not null. Window thread only.
void SetCaption(const char* text);
