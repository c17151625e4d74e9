#include "platform/WindowHost.h"

bool WindowHost::ChooseColor(COLORREF, COLORREF&) {
    return false;
}
bool WindowHost::ChooseFont(LOGFONT&, COLORREF*, int) {
    return false;
}
bool WindowHost::ChooseOpenFile(const std::string&, std::string&) {
    return false;
}
void WindowHost::ShowHelp(int) {}
