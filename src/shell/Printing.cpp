#include "Printing.h"

#include "NativePath.h"
#include "ViewHost.h"
#include "chart/ChartPrint.h"
#include "chart/OrventView.h"
#include "model/OrventDoc.h"
#include "platform/Document.h"
#include "platform/Platform.h"
#include "render/ViewRender.h"
#include "views/ListView.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>

namespace kintra {

QPrinter& SessionPrinter() {
    // Lives as long as the program; never destroyed after the application object.
    static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
    return *printer;
}

namespace {

COrventView* ChartView(CViewHost& host) {
    return host.Kind() == ViewKind::Chart ? dynamic_cast<COrventView*>(host.View()) : nullptr;
}

CListBase* ListView(CViewHost& host) {
    return host.Kind() == ViewKind::List ? dynamic_cast<CListBase*>(host.View()) : nullptr;
}

constexpr const char* kPrintErrorCaption = "Print Error";
constexpr const char* kNoPrinter = "Unable to print: no printer is installed.";
constexpr const char* kOfferPdf = "No printer is installed. Write the pages to a PDF file instead?";

// Why a print to the file `path` could not be made.
std::string FileFailure(const QString& path) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    std::string why = "it cannot be written";
    if (path.isEmpty())
        why = "no file was named";
    else if (!folder.isDir())
        why = "its folder does not exist";
    else if ((file.exists() && !file.isWritable()) || (!file.exists() && !folder.isWritable()))
        why = "permission denied";
    return "Unable to print to the file '" + path.toStdString() + "': " + why + ".";
}

} // namespace

int EstimatePrintPages(CViewHost& host) {
    if (CListBase* list = ListView(host)) return EstimateListPages(*list, nullptr);
    COrventView* chart = ChartView(host);
    if (!chart) return 1;
    const int pages = EstimateChartPages(*chart, nullptr);
    chart->RecalcLayout();
    return pages;
}

namespace {

enum class PrintOutcome { NotOpened, Failed, Done };

// PrintView, telling whether the printer (or its file) took the print and finished it.
int PrintPages(CViewHost& host, QPrinter& printer, bool useRange, PrintOutcome& outcome) {
    outcome = PrintOutcome::NotOpened;
    CView* view = host.View();
    if (!view) return 0;
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    int from = 1;
    int to = 0;
    if (useRange && printer.printRange() == QPrinter::PageRange && host.Kind() != ViewKind::Graph) {
        from = printer.fromPage();
        to = printer.toPage();
    }
    const int printed = PaintPages(*view, painter, printer, from, to);
    outcome = painter.end() && printer.printerState() != QPrinter::Error ? PrintOutcome::Done
                                                                         : PrintOutcome::Failed;
    host.viewport()->update();
    return printed;
}

} // namespace

int PrintView(CViewHost& host, QPrinter& printer, bool useRange) {
    PrintOutcome outcome;
    return PrintPages(host, printer, useRange, outcome);
}

int PrintViewOrSay(CViewHost& host, QPrinter& printer, bool useRange) {
    PrintOutcome outcome;
    const int printed = PrintPages(host, printer, useRange, outcome);
    // A print the user stopped needs no message.
    if (!host.View() || outcome == PrintOutcome::Done || printer.printerState() == QPrinter::Aborted)
        return printed;
    const std::string name = printer.printerName().toStdString();
    const bool opened = outcome != PrintOutcome::NotOpened;
    std::string text;
    if (!opened && printer.outputFormat() == QPrinter::PdfFormat)
        text = FileFailure(printer.outputFileName());
    else if (!opened && name.empty())
        text = kNoPrinter;
    else if (!opened)
        text = "Unable to print on the printer '" + name + "': it cannot be opened.";
    else
        text = "Printing on the printer '" + name + "' failed: the pages may be incomplete.";
    Platform().Messages().MessageBox(text, kPrintErrorCaption, MB_OK, MB_ICONERROR);
    return printed;
}

namespace {

// What a window's export is drawn with: the session printer's page for PDF, the window's size
// for a graph.
ExportOptions OptionsFor(CViewHost& host) {
    ExportOptions options;
    options.pageLayout = SessionPrinter().pageLayout();
    const double ppu = host.PixelsPerUnit();
    options.graphSize = {std::max(1, static_cast<int>(host.viewport()->width() / ppu)),
                         std::max(1, static_cast<int>(host.viewport()->height() / ppu))};
    if (const COrventDoc* doc = host.Document()) options.title = doc->Title;
    return options;
}

// The file name proposed for an export: the chart's file name with the format's extension.
QString ProposedName(CViewHost& host, const QString& suffix) {
    const COrventDoc* doc = host.Document();
    QString base = doc ? QFileInfo(QString::fromStdString(doc->GetPathName())).completeBaseName() : QString();
    if (base.isEmpty()) base = QStringLiteral("Untitled");
    return base + QLatin1Char('.') + suffix;
}

// Writes the window in `format` to `path`; a message says why when that fails.
void ExportTo(CViewHost& host, const QString& path, ExportFormat format, int dpi) {
    ExportOptions options = OptionsFor(host);
    options.dpi = dpi;
    std::string error;
    const std::string name = PathToNative(path);
    const bool written = ExportView(*host.View(), name, format, options, error);
    host.viewport()->update();
    if (!written)
        Platform().Messages().MessageBox("Unable to write the file '" + name + "': " + error + ".",
                                         "Export Error", MB_OK, MB_ICONERROR);
}

struct FileType {
    ExportFormat format;
    const char* filter;
    const char* suffix;
};
constexpr FileType kFileTypes[] = {
    {ExportFormat::Pdf, "PDF Files (*.pdf)", "pdf"},
    {ExportFormat::Svg, "SVG Pictures (*.svg)", "svg"},
    {ExportFormat::Png, "PNG Images (*.png)", "png"},
};

// The save dialog of Export... (only PDF when `pdfOnly`); false when the user cancelled.
bool ChooseExportFile(CViewHost& host, QWidget* parent, bool pdfOnly, QString& path, ExportFormat& format) {
    QFileDialog dialog(parent, QStringLiteral("Export"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters;
    for (const FileType& type : kFileTypes)
        if (!pdfOnly || type.format == ExportFormat::Pdf) filters << QString::fromLatin1(type.filter);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(ProposedName(host, QStringLiteral("pdf")));
    // The suffix and the proposed name follow the file type.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        for (const FileType& type : kFileTypes) {
            if (filter != QLatin1String(type.filter)) continue;
            const QString suffix = QString::fromLatin1(type.suffix);
            dialog.setDefaultSuffix(suffix);
            const QString name = QFileInfo(dialog.selectedFiles().value(0)).completeBaseName();
            if (!name.isEmpty()) dialog.selectFile(name + QLatin1Char('.') + suffix);
        }
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = dialog.selectedFiles().front();
    // The name's own extension wins; else the chosen type's.
    if (const auto named = ExportFormatOf(PathToNative(path))) {
        format = *named;
        return true;
    }
    format = ExportFormat::Pdf;
    for (const FileType& type : kFileTypes)
        if (dialog.selectedNameFilter() == QLatin1String(type.filter)) format = type.format;
    return true;
}

} // namespace

void FileExport(CViewHost& host, QWidget* parent) {
    if (!host.View()) return;
    QString path;
    ExportFormat format = ExportFormat::Pdf;
    if (!ChooseExportFile(host, parent, false, path, format)) return;
    int dpi = ExportOptions().dpi;
    if (format == ExportFormat::Png) {
        bool ok = false;
        dpi = QInputDialog::getInt(parent, QStringLiteral("Export"),
                                   QStringLiteral("Resolution (dots per inch):"), dpi, kMinimumDpi,
                                   kMaximumDpi, 1, &ok);
        if (!ok) return;
    }
    ExportTo(host, path, format, dpi);
}

void FilePrint(CViewHost& host, QWidget* parent) {
    QPrinter& printer = SessionPrinter();
    // Without a printer (nor a file to print into) the print dialog could only close on nothing:
    // the pages can go into a PDF file instead.
    if (printer.outputFileName().isEmpty() && QPrinterInfo::availablePrinterNames().isEmpty()) {
        if (Platform().Messages().MessageBox(kOfferPdf, "Print", MB_YESNO, MB_ICONQUESTION) != IDYES) return;
        QString path;
        ExportFormat format = ExportFormat::Pdf;
        if (ChooseExportFile(host, parent, true, path, format)) ExportTo(host, path, ExportFormat::Pdf, 0);
        return;
    }
    const int pages = EstimatePrintPages(host);
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, pages > 1);
    dialog.setMinMax(1, pages);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintViewOrSay(host, printer);
}

void FilePrintPreview(CViewHost& host, QWidget* parent, int& previewPages) {
    QPrintPreviewDialog preview(&SessionPrinter(), parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&host](QPrinter* printer) { PrintViewOrSay(host, *printer, false); });
    QPrintPreviewWidget* widget = preview.findChild<QPrintPreviewWidget*>();
    if (widget)
        widget->setViewMode(previewPages >= 2 ? QPrintPreviewWidget::FacingPagesView
                                              : QPrintPreviewWidget::SinglePageView);
    preview.exec();
    if (widget) previewPages = widget->viewMode() == QPrintPreviewWidget::FacingPagesView ? 2 : 1;
}

void FilePrintSetup(QWidget* parent) {
    QPageSetupDialog dialog(&SessionPrinter(), parent);
    dialog.exec();
}

} // namespace kintra
