// The DPI a window is drawn at, and system metrics at a DPI, on every Windows the program runs on:
// the per-window calls exist from Windows 10 1607, before that everything is at the system's DPI.
#pragma once

#include <windows.h>

UINT WindowDpi(HWND window);
// GetSystemMetrics(metric) as it is at dpi.
int SystemMetricForDpi(int metric, UINT dpi);
