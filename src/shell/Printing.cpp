#include "Printing.h"

#include "QtDeviceContext.h"
#include "ViewHost.h"
#include "chart/ChartPrint.h"
#include "chart/OrventView.h"
#include "platform/Document.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

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

} // namespace

int EstimatePrintPages(CViewHost& host) {
    COrventView* chart = ChartView(host);
    if (!chart) return 1;
    const int pages = EstimateChartPages(*chart, nullptr);
    chart->RecalcLayout();
    return pages;
}

int PrintView(CViewHost& host, QPrinter& printer, bool useRange) {
    CView* view = host.View();
    if (!view) return 0;
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    int printed = 0;
    if (COrventView* chart = ChartView(host)) {
        int from = 1;
        int to = 0;
        if (useRange && printer.printRange() == QPrinter::PageRange) {
            from = printer.fromPage();
            to = printer.toPage();
        }
        std::unique_ptr<QtDeviceContext> dc;
        bool first = true;
        printed = PrintChartPages(*chart, from, to, [&](int) -> DeviceContext* {
            dc.reset(); // gives the painter back its state
            if (!first && !printer.newPage()) return nullptr;
            first = false;
            dc = std::make_unique<QtDeviceContext>(painter);
            dc->SetPrinting(true);
            return dc.get();
        });
        dc.reset();
    } else {
        // Graphs and lists print on one page.
        QtDeviceContext dc(painter);
        dc.SetPrinting(true);
        view->OnDraw(dc);
        printed = 1;
    }
    painter.end();
    host.viewport()->update();
    return printed;
}

void FilePrint(CViewHost& host, QWidget* parent) {
    QPrinter& printer = SessionPrinter();
    const int pages = EstimatePrintPages(host);
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, pages > 1);
    dialog.setMinMax(1, pages);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintView(host, printer);
}

void FilePrintPreview(CViewHost& host, QWidget* parent, int& previewPages) {
    QPrintPreviewDialog preview(&SessionPrinter(), parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&host](QPrinter* printer) { PrintView(host, *printer, false); });
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
