#pragma once
// What every printed page of a chart, graph or list carries: a header line with the document's
// title on the left and the page label on the right, and a footer line with the document's path
// on the left and the date on the right.

#include "platform/DeviceContext.h"

#include <string>

// "Page 2B of 3B": the page row in decimal when there is more than one page down, the page
// column as a letter (A for 1 ... Z for 26, then A again) when there is more than one across.
// Empty when everything fits on one page.
std::string FormatPageLabel(int pageRow, int pageColumn, int pagesDown, int pagesAcross);

// Today's date as the footers print it, "%m/%d/%y"; `fixed` instead when it is not empty.
std::string PrintedDate(const std::string& fixed = {});

struct PageTexts {
    std::string Title;
    std::string Label;
    std::string Path;
    std::string Date;
};

// Draws the header texts in `header` and the footer texts in `footer` (single lines, not
// clipped), in the device context's current font and text colour.
void DrawPageTexts(DeviceContext& dc, const PageTexts& texts, const CRect& header, const CRect& footer);
