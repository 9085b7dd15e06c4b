#include "window/window_dpi.h"

namespace {

// A user32 function of a later Windows, or null where the system lacks it. The address goes
// through void*, since FARPROC is not the function's own type.
template <typename Function> Function UserFunction(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

int SystemDpi() {
    HDC screen = GetDC(NULL);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    return dpi;
}

} // namespace

UINT WindowDpi(HWND window) {
    typedef UINT(WINAPI * DpiForWindow)(HWND);
    static const DpiForWindow dpiForWindow = UserFunction<DpiForWindow>("GetDpiForWindow");
    return dpiForWindow ? dpiForWindow(window) : static_cast<UINT>(SystemDpi());
}

int SystemMetricForDpi(int metric, UINT dpi) {
    typedef int(WINAPI * MetricForDpi)(int, UINT);
    static const MetricForDpi metricForDpi = UserFunction<MetricForDpi>("GetSystemMetricsForDpi");
    if (metricForDpi) {
        return metricForDpi(metric, dpi);
    }
    const int system = SystemDpi();
    return system > 0 ? MulDiv(GetSystemMetrics(metric), static_cast<int>(dpi), system)
                      : GetSystemMetrics(metric);
}
