#include "model/ChartDocument.h"

#include "model/ModelWindows.h"
#include "model/OrventDoc.h"
#include "platform/Platform.h"

namespace kintra {

std::unique_ptr<COrventDoc> NewChartDocument() {
    auto doc = std::make_unique<COrventDoc>();
    if (!ModelWindows().OpenChartWindow(*doc) || !doc->OnNewDocument()) {
        CloseChartDocument(std::move(doc));
        return nullptr;
    }
    return doc;
}

std::unique_ptr<COrventDoc> OpenChartDocument(const std::string& path) {
    auto doc = std::make_unique<COrventDoc>();
    if (!ModelWindows().OpenChartWindow(*doc) || !doc->OnOpenDocument(path)) {
        CloseChartDocument(std::move(doc));
        return nullptr;
    }
    return doc;
}

std::unique_ptr<COrventDoc> OpenChartDocument(std::vector<std::uint8_t> bytes, const std::string& path) {
    auto doc = std::make_unique<COrventDoc>();
    if (!ModelWindows().OpenChartWindow(*doc) || !doc->OpenFromBytes(std::move(bytes), path)) {
        CloseChartDocument(std::move(doc));
        return nullptr;
    }
    return doc;
}

std::unique_ptr<COrventDoc> OpenChartModel(std::vector<std::uint8_t> bytes, const std::string& path) {
    auto doc = std::make_unique<COrventDoc>();
    doc->OpenWindowsOnLoad = false;
    if (!doc->OpenFromBytes(std::move(bytes), path)) return nullptr;
    return doc;
}

void CloseChartDocument(std::unique_ptr<COrventDoc> doc) {
    if (!doc) return;
    ModelWindows().CloseDocumentWindows(*doc);
}

} // namespace kintra
