#include "Printing.h"

#include "QtDeviceContext.h"
#include "ViewHost.h"
#include "chart/ChartPrint.h"
#include "chart/OrventView.h"
#include "platform/Document.h"
#include "platform/Platform.h"
#include "views/ListView.h"

#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>

#include <memory>

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
    int printed = 0;
    COrventView* chart = ChartView(host);
    CListBase* list = ListView(host);
    if (chart || list) {
        int from = 1;
        int to = 0;
        if (useRange && printer.printRange() == QPrinter::PageRange) {
            from = printer.fromPage();
            to = printer.toPage();
        }
        std::unique_ptr<QtDeviceContext> dc;
        bool first = true;
        const auto pageDc = [&](int) -> DeviceContext* {
            dc.reset(); // gives the painter back its state
            if (!first && !printer.newPage()) return nullptr;
            first = false;
            dc = std::make_unique<QtDeviceContext>(painter);
            dc->SetPrinting(true);
            return dc.get();
        };
        printed = chart ? PrintChartPages(*chart, from, to, pageDc) : PrintListPages(*list, from, to, pageDc);
        dc.reset();
    } else {
        // A graph prints on one page.
        QtDeviceContext dc(painter);
        dc.SetPrinting(true);
        view->OnDraw(dc);
        printed = 1;
    }
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

void FilePrint(CViewHost& host, QWidget* parent) {
    QPrinter& printer = SessionPrinter();
    // Without a printer (nor a file to print into) the print dialog could only close on nothing.
    if (printer.outputFileName().isEmpty() && QPrinterInfo::availablePrinterNames().isEmpty()) {
        Platform().Messages().MessageBox(kNoPrinter, kPrintErrorCaption, MB_OK, MB_ICONERROR);
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
