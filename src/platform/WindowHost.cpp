#include "platform/WindowHost.h"

bool WindowHost::ChooseColor(COLORREF, COLORREF&) {
    return false;
}
bool WindowHost::ChooseFont(LOGFONT&, COLORREF*, int) {
    return false;
}
bool WindowHost::RunBlockEditor(CBlockEditorData&) {
    return false;
}
bool WindowHost::RunModelProperties(CSettingList&, std::string&) {
    return false;
}
bool WindowHost::RunDebugSettings(int&) {
    return false;
}
bool WindowHost::RunViewingProperties(COrventView&) {
    return false;
}
bool WindowHost::RunGraphProperties(CGraphBase&) {
    return false;
}
bool WindowHost::RunListParameters(CListBase&) {
    return false;
}
CView* WindowHost::OpenRunWindow(COrventDoc&) {
    return nullptr;
}
void WindowHost::RunWindowStep(COrventDoc&) {}
void WindowHost::CloseRunWindow(COrventDoc&) {}
bool WindowHost::ChooseOpenFile(const std::string&, std::string&) {
    return false;
}
void WindowHost::ShowHelp(int) {}
CView* WindowHost::OpenChartWindow(COrventDoc&) {
    return nullptr;
}
CView* WindowHost::OpenGraphWindow(COrventDoc&) {
    return nullptr;
}
CView* WindowHost::OpenListWindow(COrventDoc&) {
    return nullptr;
}
void WindowHost::CloseDocumentWindows(COrventDoc&) {}
