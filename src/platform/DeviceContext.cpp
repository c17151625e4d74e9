#include "platform/DeviceContext.h"

namespace {

COLORREF g_window = RGB(255, 255, 255);
COLORREF g_windowText = RGB(0, 0, 0);

} // namespace

COLORREF GetSysColor(int index) {
    switch (index) {
    case COLOR_WINDOW:
        return g_window;
    case COLOR_WINDOWTEXT:
        return g_windowText;
    default:
        return RGB(0, 0, 0);
    }
}

void SetSysColor(int index, COLORREF color) {
    if (index == COLOR_WINDOW) g_window = color;
    if (index == COLOR_WINDOWTEXT) g_windowText = color;
}
