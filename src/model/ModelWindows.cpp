#include "model/ModelWindows.h"

#include "platform/Platform.h"

bool ModelWindowHost::RunBlockEditor(CBlockEditorData&) {
    return false;
}
bool ModelWindowHost::RunModelProperties(CSettingList&, std::string&) {
    return false;
}
bool ModelWindowHost::RunDebugSettings(int&) {
    return false;
}
CView* ModelWindowHost::OpenRunWindow(COrventDoc&) {
    return nullptr;
}
void ModelWindowHost::RunWindowStep(COrventDoc&) {}
void ModelWindowHost::CloseRunWindow(COrventDoc&) {}
CView* ModelWindowHost::OpenChartWindow(COrventDoc&) {
    return nullptr;
}
CView* ModelWindowHost::OpenGraphWindow(COrventDoc&) {
    return nullptr;
}
CView* ModelWindowHost::OpenListWindow(COrventDoc&) {
    return nullptr;
}
void ModelWindowHost::CloseDocumentWindows(COrventDoc&) {}
void ModelWindowHost::CloseWindow(CView&) {}
std::unique_ptr<CView> ModelWindowHost::CreateView(const std::string&) {
    return nullptr;
}

ModelWindowHost& ModelWindows() {
    static ModelWindowHost none;
    auto* host = dynamic_cast<ModelWindowHost*>(&Platform().Windows());
    return host ? *host : none;
}
