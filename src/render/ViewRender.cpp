#include "ViewRender.h"

#include "QtDeviceContext.h"
#include "chart/ChartPrint.h"
#include "chart/OrventView.h"
#include "views/GraphView.h"
#include "views/ListView.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>

namespace kintra {

namespace {

// Larger images are refused: 30000 pixels a side, 400 million pixels (1.6 GB) in all.
constexpr int kMaximumSide = 30000;
constexpr double kMaximumPixels = 4e8;
// SVG pictures are drawn at the screen's usual 96 pixels per inch.
constexpr int kSvgDpi = 96;

// The view's whole content in logical units, measured at `ppu` pixels per unit. A chart and a
// list are laid out on a device of that resolution; the caller restores their window's layout.
CSize WholeExtent(CView& view, const ExportOptions& options, int dpi) {
    QImage probe(1, 1, QImage::Format_RGB32);
    const int perMetre = static_cast<int>(std::lround(dpi / 0.0254));
    probe.setDotsPerMeterX(perMetre);
    probe.setDotsPerMeterY(perMetre);
    QtDeviceContext measuring(&probe, QSize(1, 1), QPoint(0, 0), dpi / 100.0);
    if (auto* chart = dynamic_cast<COrventView*>(&view)) {
        chart->RecalcLayout(&measuring);
        return chart->ScrollTotal;
    }
    if (auto* list = dynamic_cast<CListBase*>(&view)) {
        list->UpdateScrollSizes(&measuring);
        return list->ScrollTotal;
    }
    return {std::max(1, options.graphSize.cx), std::max(1, std::abs(options.graphSize.cy))};
}

// The window keeps the layout of its own screen.
void RestoreLayout(CView& view) {
    if (auto* chart = dynamic_cast<COrventView*>(&view))
        chart->RecalcLayout();
    else if (auto* list = dynamic_cast<CListBase*>(&view))
        list->UpdateScrollSizes();
}

QSize PixelsOf(CSize extent, int dpi) {
    const double ppu = dpi / 100.0;
    return {std::max(1, static_cast<int>(std::ceil(std::abs(extent.cx) * ppu))),
            std::max(1, static_cast<int>(std::ceil(std::abs(extent.cy) * ppu)))};
}

// Draws the view as its window would, unscrolled, on `size` pixels at `dpi`.
void DrawWhole(CView& view, QPainter& painter, QSize size, int dpi) {
    painter.fillRect(QRect(QPoint(0, 0), size), QtDeviceContext::ColorOf(GetSysColor(COLOR_WINDOW)));
    QtDeviceContext dc(painter, size, QPoint(0, 0), dpi / 100.0, QRect(QPoint(0, 0), size));
    if (auto* chart = dynamic_cast<COrventView*>(&view)) chart->RecalcLayout(&dc);
    view.OnDraw(dc);
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Why the file `path` could not be written.
std::string WriteFailure(const QString& path, const QString& detail) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (path.isEmpty()) return "no file was named";
    if (!folder.isDir()) return "its folder does not exist";
    if (file.isDir()) return "it is a folder";
    if ((file.exists() && !file.isWritable()) || (!file.exists() && !folder.isWritable()))
        return "permission denied";
    return detail.isEmpty() ? std::string("it cannot be written") : detail.toStdString();
}

} // namespace

std::optional<ExportFormat> ExportFormatOf(const std::string& path) {
    const auto dot = path.rfind('.');
    const auto slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
    const std::string ext = Lower(path.substr(dot + 1));
    if (ext == "pdf") return ExportFormat::Pdf;
    if (ext == "svg") return ExportFormat::Svg;
    if (ext == "png") return ExportFormat::Png;
    return std::nullopt;
}

int PaintPages(CView& view, QPainter& painter, QPagedPaintDevice& device, int from, int to) {
    auto* chart = dynamic_cast<COrventView*>(&view);
    auto* list = dynamic_cast<CListBase*>(&view);
    if (!chart && !list) {
        // A graph takes one page.
        QtDeviceContext dc(painter);
        dc.SetPrinting(true);
        view.OnDraw(dc);
        return 1;
    }
    std::unique_ptr<QtDeviceContext> dc;
    bool first = true;
    const auto pageDc = [&](int) -> DeviceContext* {
        dc.reset(); // gives the painter back its state
        if (!first && !device.newPage()) return nullptr;
        first = false;
        dc = std::make_unique<QtDeviceContext>(painter);
        dc->SetPrinting(true);
        return dc.get();
    };
    const int printed =
        chart ? PrintChartPages(*chart, from, to, pageDc) : PrintListPages(*list, from, to, pageDc);
    dc.reset();
    return printed;
}

QByteArray RenderSvg(CView& view, const ExportOptions& options) {
    const QSize size = PixelsOf(WholeExtent(view, options, kSvgDpi), kSvgDpi);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(kSvgDpi);
    svg.setTitle(QString::fromStdString(options.title));
    QPainter painter(&svg);
    DrawWhole(view, painter, size, kSvgDpi);
    painter.end();
    RestoreLayout(view);
    return buffer.data();
}

QImage RenderImage(CView& view, const ExportOptions& options) {
    const int dpi = std::clamp(options.dpi, kMinimumDpi, kMaximumDpi);
    const CSize extent = WholeExtent(view, options, dpi);
    const double width = std::ceil(std::abs(extent.cx) * dpi / 100.0);
    const double height = std::ceil(std::abs(extent.cy) * dpi / 100.0);
    if (width > kMaximumSide || height > kMaximumSide || width * height > kMaximumPixels) {
        RestoreLayout(view);
        return {};
    }
    const QSize size = PixelsOf(extent, dpi);
    QImage image(size, QImage::Format_RGB32);
    const int perMetre = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(perMetre);
    image.setDotsPerMeterY(perMetre);
    QPainter painter(&image);
    DrawWhole(view, painter, size, dpi);
    painter.end();
    RestoreLayout(view);
    return image;
}

QByteArray RenderPdf(CView& view, const ExportOptions& options) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    int pages = 0;
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageLayout(options.pageLayout);
        // The printer's resolution, so that the pages measure their text as a print does.
        pdf.setResolution(1200);
        pdf.setTitle(QString::fromStdString(options.title));
        pdf.setCreator(QStringLiteral("Kintra"));
        QPainter painter;
        if (!painter.begin(&pdf)) return {};
        pages = PaintPages(view, painter, pdf);
        if (!painter.end()) return {};
    }
    return pages > 0 ? buffer.data() : QByteArray();
}

bool ExportView(CView& view, const std::string& path, ExportFormat format, const ExportOptions& options,
                std::string& error) {
    QByteArray bytes;
    switch (format) {
    case ExportFormat::Pdf:
        bytes = RenderPdf(view, options);
        if (bytes.isEmpty()) error = "the pages could not be drawn";
        break;
    case ExportFormat::Svg:
        bytes = RenderSvg(view, options);
        if (bytes.isEmpty()) error = "the picture could not be drawn";
        break;
    case ExportFormat::Png: {
        const QImage image = RenderImage(view, options);
        if (image.isNull()) {
            error = "the image would be too large at " +
                    std::to_string(std::clamp(options.dpi, kMinimumDpi, kMaximumDpi)) + " dpi";
            return false;
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG")) error = "the image could not be encoded";
        break;
    }
    }
    if (!error.empty()) return false;
    const QString name = QString::fromStdString(path);
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = WriteFailure(name, file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

namespace {
QtMessageHandler g_qtMessages = nullptr;

// Without a desktop session Qt warns that it has no runtime folder, which says nothing about the
// pictures drawn; every other message of Qt's passes on.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (g_qtMessages)
        g_qtMessages(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}
} // namespace

void EnsurePaintingApplication() {
    if (QGuiApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    g_qtMessages = qInstallMessageHandler(QuietMessages);
    static int argc = 1;
    static char name[] = "kintra";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the fonts and pictures drawn refer to it until the end.
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

} // namespace kintra
