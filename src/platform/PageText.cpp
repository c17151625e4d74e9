#include "platform/PageText.h"

#include "platform/Text.h"

#include <ctime>

namespace {

char PageLetter(int n) {
    return static_cast<char>('A' + ((n > 0 ? n : 1) - 1) % 26);
}

} // namespace

std::string FormatPageLabel(int pageRow, int pageColumn, int pagesDown, int pagesAcross) {
    if (pagesDown <= 1 && pagesAcross <= 1) return {};
    std::string s = "Page ";
    if (pagesDown > 1) s += FormatString("%u", static_cast<unsigned>(pageRow));
    if (pagesAcross > 1) s += PageLetter(pageColumn);
    s += " of ";
    if (pagesDown > 1) s += FormatString("%u", static_cast<unsigned>(pagesDown));
    if (pagesAcross > 1) s += PageLetter(pagesAcross);
    return s;
}

std::string PrintedDate(const std::string& fixed) {
    if (!fixed.empty()) return fixed;
    const std::time_t now = std::time(nullptr);
    char buffer[32] = {};
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(buffer, sizeof buffer, "%m/%d/%y", &local);
    return buffer;
}

void DrawPageTexts(DeviceContext& dc, const PageTexts& texts, const CRect& header, const CRect& footer) {
    dc.DrawText(texts.Title, header, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
    dc.DrawText(texts.Label, header, DT_RIGHT | DT_SINGLELINE | DT_NOCLIP);
    dc.DrawText(texts.Path, footer, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
    dc.DrawText(texts.Date, footer, DT_RIGHT | DT_SINGLELINE | DT_NOCLIP);
}
