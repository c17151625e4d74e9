#pragma once
// Rendering a window's content off the screen: the pages printing gives, on any paged device (a
// printer or a PDF writer), and the whole chart, graph or list as one SVG picture or PNG image.
// The screen, the printer and every export draw through the same views on a QtDeviceContext.

#include "platform/Geometry.h"

#include <QByteArray>
#include <QImage>
#include <QPageLayout>

#include <optional>
#include <string>

class CView;
class QPagedPaintDevice;
class QPainter;

namespace kintra {

enum class ExportFormat { Pdf, Svg, Png };

// The format a file name asks for by its extension (".pdf", ".svg", ".png", any case).
std::optional<ExportFormat> ExportFormatOf(const std::string& path);

struct ExportOptions {
    // PNG resolution in dots per inch.
    int dpi = 150;
    // A graph has no size of its own: the picture's size in logical units (0.01 inch).
    CSize graphSize{800, 527};
    // PDF pages; by default US Letter with 0.25 inch margins, 8.00 by 10.50 inches to print on.
    QPageLayout pageLayout{QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                           QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch};
    // The document's title in the file.
    std::string title;
};

// Resolutions a PNG may be asked for.
constexpr int kMinimumDpi = 10;
constexpr int kMaximumDpi = 1200;

// Paints the view's pages as printing gives them on `device`, whose painter `painter` the caller
// has begun: a chart or a list page by page from `from` to `to` (from 1; `to` 0 means to the
// last page), a graph on one page. Returns the number of pages painted.
int PaintPages(CView& view, QPainter& painter, QPagedPaintDevice& device, int from = 1, int to = 0);

// The view's whole content at the screen's look: every grid cell of a chart (not only what a
// window shows), every row and column of a list, a graph at options.graphSize.
QByteArray RenderSvg(CView& view, const ExportOptions& options = {});
// The same as an image at options.dpi; a null image when it would be too large to hold.
QImage RenderImage(CView& view, const ExportOptions& options = {});
// Every page printing would give, as a PDF document; empty when nothing could be drawn.
QByteArray RenderPdf(CView& view, const ExportOptions& options = {});

// Renders the view in `format` and writes it to `path` in one piece: an existing file is
// replaced only when the new one is complete. False with `error` saying why otherwise.
bool ExportView(CView& view, const std::string& path, ExportFormat format, const ExportOptions& options,
                std::string& error);

// Makes sure a QGuiApplication exists, as painting text and pictures needs one. A program
// without a display gets one on the offscreen platform (QT_QPA_PLATFORM=offscreen unless the
// environment names another); it lasts until the program ends.
void EnsurePaintingApplication();

} // namespace kintra
