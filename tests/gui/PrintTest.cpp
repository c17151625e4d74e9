// Printing an example chart, its graph and its list to PDF, a long and wide list page by page
// (read back with pdftotext), and "Print to File" of a list window through the File menu;
// failures of both say why. The PDFs land in KINTRA_RENDER_DIR for people to look at.

#include "CommandIds.h"
#include "Printing.h"
#include "ShellSupport.h"
#include "ViewHost.h"
#include "chart/OrventView.h"
#include "model/BlockTypes.h"
#include "model/ChartDocument.h"
#include "render/ViewRender.h"
#include "views/GraphView.h"
#include "views/HeadlessWindows.h"
#include "views/ListView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QInputDialog>
#include <QMdiArea>
#include <QPageSize>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QXmlStreamReader>

#include <cmath>
#include <map>
#include <memory>

namespace {

QString RenderPath(const char* name) {
    QDir().mkpath(QStringLiteral(KINTRA_RENDER_DIR));
    return QStringLiteral(KINTRA_RENDER_DIR "/%1").arg(QLatin1String(name));
}

// Pages of a PDF as Qt writes it: one page object each.
int PdfPageCount(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QString text = QString::fromLatin1(file.readAll());
    return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

void ToPdf(QPrinter& printer, const QString& path) {
    QFile::remove(path);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

// The words of a PDF's text as pdftotext reads them.
std::vector<std::string> PdfWords(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
    std::vector<std::string> words;
    for (const QString& word : QString::fromUtf8(process.readAllStandardOutput())
                                   .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        words.push_back(word.toStdString());
    return words;
}

class PrintTest : public ::testing::Test {
  protected:
    PrintTest() : scope(&store, &messages, &windows) {}
    ~PrintTest() override {
        hosts.clear();
        if (doc) kintra::CloseChartDocument(std::move(doc));
    }

    void Open(const char* example) {
        doc = kintra::OpenChartDocument(std::string(KINTRA_SOURCE_DIR "/examples/") + example);
        ASSERT_TRUE(doc) << example;
    }
    CViewHost& Host(ViewKind kind) {
        hosts.push_back(std::make_unique<CViewHost>(kind, CreateCoreView(kind), *doc));
        CViewHost& host = *hosts.back();
        host.resize(640, 480);
        host.View()->OnInitialUpdate();
        return host;
    }

    MemorySettingsStore store;
    RecordingMessageHost messages;
    HeadlessWindowHost windows;
    ScopedPlatform scope;
    std::unique_ptr<COrventDoc> doc;
    std::vector<std::unique_ptr<CViewHost>> hosts;
};

TEST_F(PrintTest, ChartPrintsEveryPageAndThePageRange) {
    Open("spring-mass.cht");
    CViewHost& host = Host(ViewKind::Chart);
    auto* chart = static_cast<COrventView*>(host.View());
    chart->ChartTitle = "Spring and mass";
    chart->NotesDisplay = 1;
    chart->ChartNotes = "A damped spring and mass released from x = 1.";

    QPrinter printer(QPrinter::HighResolution);
    ToPdf(printer, RenderPath("print-chart.pdf"));
    EXPECT_EQ(kintra::PrintView(host, printer), 1) << "the example fits on one page";
    EXPECT_EQ(PdfPageCount(RenderPath("print-chart.pdf")), 1);

    EXPECT_EQ(kintra::EstimatePrintPages(host), 1);

    // Five times the size on a small sheet: the chart runs over pages down and across.
    chart->MagBmp = 5.0;
    QPrinter big(QPrinter::HighResolution);
    ToPdf(big, RenderPath("print-chart-large.pdf"));
    big.setPageSize(QPageSize(QPageSize::A7));
    const int printed = kintra::PrintView(host, big);
    EXPECT_GT(chart->PagesAcross, 1);
    EXPECT_GT(chart->PagesDown, 1);
    EXPECT_EQ(printed, chart->PagesAcross * chart->PagesDown);
    EXPECT_EQ(PdfPageCount(RenderPath("print-chart-large.pdf")), printed);
    // The window's own geometry is back after printing.
    EXPECT_EQ(chart->PrintRect.top, 0);
    EXPECT_EQ(host.ScrollTotal().cx, chart->TotalWidth);

    QPrinter range(QPrinter::HighResolution);
    ToPdf(range, RenderPath("print-chart-range.pdf"));
    range.setPageSize(QPageSize(QPageSize::A7));
    range.setPrintRange(QPrinter::PageRange);
    range.setFromTo(2, 3);
    EXPECT_EQ(kintra::PrintView(host, range), 2);
    EXPECT_EQ(PdfPageCount(RenderPath("print-chart-range.pdf")), 2);
}

TEST_F(PrintTest, GraphPrintsOnAPageAndListOnItsPages) {
    Open("spring-mass.cht");
    for (ViewKind kind : {ViewKind::Graph, ViewKind::List}) {
        const char* file = kind == ViewKind::Graph ? "print-graph.pdf" : "print-list.pdf";
        CViewHost& host = Host(kind);
        QPrinter printer(QPrinter::HighResolution);
        ToPdf(printer, RenderPath(file));
        const int printed = kintra::PrintView(host, printer);
        // The example's recorded run runs over several pages of a list.
        if (kind == ViewKind::Graph)
            EXPECT_EQ(printed, 1);
        else
            EXPECT_EQ(printed, static_cast<CListBase*>(host.View())->PrintPages.Count());
        EXPECT_EQ(PdfPageCount(RenderPath(file)), printed);
        EXPECT_GT(QFile(RenderPath(file)).size(), 1000);
    }
}

TEST_F(PrintTest, ALongWideListPrintsEveryValueOnceAndPreviewShowsEveryPage) {
    Open("spring-mass.cht");
    CViewHost& host = Host(ViewKind::List);
    auto* list = static_cast<CListBase*>(host.View());
    // 2,001 rows of 16 columns, every value distinct: the Clock counts rows, column c holds
    // c * 10000 + row.
    constexpr int kRows = 2001;
    constexpr int kColumns = 16;
    list->Precision = 6;
    list->ListTitle = "Every value";
    list->ListNotes = "Each column holds its number times ten thousand plus the row.";
    list->NotesDisplay = 1;
    list->NotesColor = RGB(160, 0, 0);
    list->FontColor = RGB(0, 0, 160);
    list->Columns = {doc->Clock()};
    std::vector<double> times;
    for (int r = 0; r < kRows; ++r)
        times.push_back(r);
    doc->Clock()->SetHistory(times);
    for (int c = 1; c < kColumns; ++c) {
        doc->PendingBlock = doc->CreateBlock(BlockType::Sum);
        ASSERT_TRUE(doc->PendingBlock);
        CBlock* b = doc->PendingBlock.get();
        doc->PlaceBlock(40 + c, -40);
        std::vector<double> values;
        for (int r = 0; r < kRows; ++r)
            values.push_back(c * 10000.0 + r);
        b->SetHistory(values);
        list->Columns.push_back(b);
    }
    EXPECT_GT(kintra::EstimatePrintPages(host), 1);

    for (const bool black : {false, true}) {
        doc->PrintMode = black ? 1 : 0;
        const QString path = RenderPath(black ? "print-list-long-bw.pdf" : "print-list-long.pdf");
        QPrinter printer(QPrinter::HighResolution);
        ToPdf(printer, path);
        const int printed = kintra::PrintView(host, printer);
        EXPECT_EQ(printed, list->PrintPages.Count());
        EXPECT_GT(list->PrintPages.PagesAcross, 1);
        EXPECT_GT(list->PrintPages.PagesDown, 1);
        EXPECT_EQ(PdfPageCount(path), printed);

        std::map<std::string, int> seen;
        for (const std::string& word : PdfWords(path))
            ++seen[word];
        ASSERT_FALSE(seen.empty()) << "pdftotext (poppler-utils) read nothing";
        int wrong = 0;
        for (int c = 0; c < kColumns; ++c)
            for (int r = 0; r < kRows; ++r) {
                const std::string text = list->FormatValue(c == 0 ? r : c * 10000.0 + r);
                // The first column is on every page column.
                const int expected = c == 0 ? list->PrintPages.PagesAcross : 1;
                if (seen[text] != expected && ++wrong <= 5)
                    ADD_FAILURE() << text << " printed " << seen[text] << " times, not " << expected;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(seen["Page"], printed) << "a page label on every page";
    }

    // Print Preview shows every page.
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewWidget preview(&printer);
    QObject::connect(&preview, &QPrintPreviewWidget::paintRequested,
                     [&host](QPrinter* p) { kintra::PrintViewOrSay(host, *p, false); });
    preview.updatePreview();
    EXPECT_EQ(preview.pageCount(), list->PrintPages.Count());
}

// Export to PDF gives the pages printing gives on the same paper, with the same words on them.
TEST_F(PrintTest, PdfExportHasThePagesAndWordsOfPrinting) {
    Open("spring-mass.cht");
    doc->RunSimulation();
    const struct {
        ViewKind kind;
        QPageSize::PageSizeId paper;
        const char* name;
    } cases[] = {
        {ViewKind::Chart, QPageSize::A7, "chart"},
        {ViewKind::Graph, QPageSize::Letter, "graph"},
        {ViewKind::List, QPageSize::A6, "list"},
    };
    for (const auto& c : cases) {
        CViewHost& host = Host(c.kind);
        if (c.kind == ViewKind::Chart) static_cast<COrventView*>(host.View())->MagBmp = 3.0;
        const QString printed =
            RenderPath(QStringLiteral("export-print-%1.pdf").arg(c.name).toUtf8().constData());
        const QString exported = RenderPath(QStringLiteral("export-%1.pdf").arg(c.name).toUtf8().constData());
        QPrinter printer(QPrinter::HighResolution);
        ToPdf(printer, printed);
        printer.setPageSize(QPageSize(c.paper));
        const int pages = kintra::PrintView(host, printer);
        kintra::ExportOptions options;
        options.pageLayout = printer.pageLayout();
        std::string error;
        ASSERT_TRUE(kintra::ExportView(*host.View(), exported.toStdString(), kintra::ExportFormat::Pdf,
                                       options, error))
            << error;
        EXPECT_GT(pages, c.kind == ViewKind::Graph ? 0 : 1) << c.name;
        EXPECT_EQ(PdfPageCount(exported), pages) << c.name;
        const auto words = PdfWords(exported);
        EXPECT_FALSE(words.empty()) << c.name;
        EXPECT_EQ(words, PdfWords(printed)) << c.name;
    }
}

// The SVG of a chart is well-formed XML holding the whole chart, not only what its small window
// shows: every block's name, and one polyline per routed line, at magnifications 1 and 2.
TEST_F(PrintTest, SvgHoldsTheWholeChartWithOnePolylinePerRoutedLine) {
    Open("spring-mass.cht");
    CViewHost& host = Host(ViewKind::Chart);
    host.resize(60, 40);
    auto* chart = static_cast<COrventView*>(host.View());
    int routed = 0;
    for (const auto& b : doc->Blocks)
        for (const CBlock* input : b->Inputs)
            routed += input != nullptr;
    ASSERT_GT(routed, 0);
    for (const double mag : {1.0, 2.0}) {
        chart->MagBmp = mag;
        chart->RecalcLayout();
        const QByteArray svg = kintra::RenderSvg(*chart);
        QFile out(RenderPath(mag == 1.0 ? "export-chart-mag1.svg" : "export-chart-mag2.svg"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(svg);
        QXmlStreamReader xml(svg);
        int polylines = 0;
        double width = 0;
        std::vector<std::string> texts;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) continue;
            if (xml.name() == QLatin1String("svg"))
                width = xml.attributes()
                            .value(QLatin1String("viewBox"))
                            .toString()
                            .split(QLatin1Char(' '), Qt::SkipEmptyParts)
                            .value(2)
                            .toDouble();
            if (xml.name() == QLatin1String("polyline")) ++polylines;
            if (xml.name() == QLatin1String("text"))
                texts.push_back(xml.readElementText().trimmed().toStdString());
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_EQ(polylines, routed) << "magnification " << mag;
        for (const char* name : {"Clock", "Force", "Acceleration", "Velocity", "Position"})
            EXPECT_NE(std::find(texts.begin(), texts.end(), name), texts.end()) << name;
        // The picture spans the chart's whole width (in pixels at 96 per inch; the text is measured
        // at that resolution).
        EXPECT_NEAR(width, chart->TotalWidth * 0.96, 0.1 * width);
        // The window keeps its own layout.
        EXPECT_EQ(host.ScrollTotal().cx, chart->TotalWidth);
    }
}

// A graph's PNG shows each trace in its colour where the run's values put it, at 100 and 200 dpi,
// and in colour also when the chart prints in black (an image is the screen's picture).
TEST_F(PrintTest, PngShowsTheTracesWhereTheValuesSay) {
    Open("spring-mass.cht");
    doc->RunSimulation();
    doc->PrintMode = 1;
    // The example's own graph window.
    CGraphBase* graph = nullptr;
    for (CView* view : doc->Views())
        if (!graph) graph = dynamic_cast<CGraphBase*>(view);
    ASSERT_TRUE(graph);
    ASSERT_GE(graph->LastTrace, 2);
    for (const int dpi : {100, 200}) {
        kintra::ExportOptions options;
        options.dpi = dpi;
        options.graphSize = {640, 480};
        const QImage image = kintra::RenderImage(*graph, options);
        image.save(RenderPath(dpi == 100 ? "export-graph-100dpi.png" : "export-graph-200dpi.png"));
        ASSERT_EQ(image.width(), 640 * dpi / 100);
        EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, dpi, 1);
        const double ppu = dpi / 100.0;
        // The plot as the graph laid it out for the image (logical units, y upwards).
        const double left = graph->LeftMargin;
        const double right = 640 - graph->RightMargin;
        const double top = -graph->TopMargin;
        const double bottom = -(480 - graph->BottomMargin);
        const CBlock* x = graph->Traces[0];
        for (int k = 1; k <= graph->LastTrace; ++k) {
            const auto a = static_cast<std::size_t>(k);
            const QColor colour =
                QColor(GetRValue(graph->Color[a]), GetGValue(graph->Color[a]), GetBValue(graph->Color[a]));
            int tried = 0;
            int found = 0;
            for (int j = 0; j < graph->SampleCount; j += 5) {
                const double fx =
                    (x->GetHistoryAt(j) / std::pow(10.0, graph->Exponent[0]) - graph->LowUnits[0]) /
                        (graph->HighUnits[0] - graph->LowUnits[0]) * (right - left) +
                    left;
                const double fy =
                    bottom + (graph->Traces[a]->GetHistoryAt(j) / std::pow(10.0, graph->Exponent[a]) -
                              graph->LowUnits[a]) /
                                 (graph->HighUnits[a] - graph->LowUnits[a]) * (top - bottom);
                const int px = static_cast<int>(std::lround(fx * ppu));
                const int py = static_cast<int>(std::lround(-fy * ppu));
                ++tried;
                bool hit = false;
                for (int dx = -2; dx <= 2 && !hit; ++dx)
                    for (int dy = -2; dy <= 2 && !hit; ++dy)
                        hit = image.valid(px + dx, py + dy) && image.pixelColor(px + dx, py + dy) == colour;
                found += hit;
            }
            // Where the other trace crosses, it may lie on top.
            EXPECT_GE(found, tried * 9 / 10) << "graph " << k << " at " << dpi << " dpi";
        }
    }
}

TEST_F(PrintTest, APrintThatCannotBeMadeSaysWhy) {
    Open("spring-mass.cht");
    for (ViewKind kind : {ViewKind::Chart, ViewKind::Graph}) {
        CViewHost& host = Host(kind);
        messages.shown.clear();
        QPrinter printer(QPrinter::HighResolution);
        ToPdf(printer, QStringLiteral("/nonexistent-kintra-folder/out.pdf"));
        EXPECT_EQ(kintra::PrintViewOrSay(host, printer), 0);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].caption, "Print Error");
        EXPECT_EQ(
            messages.shown[0].text,
            "Unable to print to the file '/nonexistent-kintra-folder/out.pdf': its folder does not exist.");
    }
    // A print that succeeds says nothing.
    messages.shown.clear();
    QPrinter printer(QPrinter::HighResolution);
    ToPdf(printer, RenderPath("print-graph-quiet.pdf"));
    EXPECT_EQ(kintra::PrintViewOrSay(Host(ViewKind::Graph), printer), 1);
    EXPECT_TRUE(messages.shown.empty());
}

// File > Export... of each kind of window: the type chosen in the dialog (or the name's own
// extension) gives the format; a PNG asks for its resolution.
TEST_F(ShellTest, ExportWritesEachWindowInTheChosenFormat) {
    COrventApp& app = Start();
    COrventDoc* doc = app.OpenDocument(QStringLiteral(KINTRA_SOURCE_DIR "/examples/spring-mass.cht"));
    ASSERT_TRUE(doc);
    const struct {
        ViewKind kind;
        const char* filter;
        const char* name;
        const char* magic;
    } cases[] = {
        {ViewKind::Chart, "SVG Pictures (*.svg)", "chart", "<?xml"},
        {ViewKind::Graph, "PNG Images (*.png)", "graph", "\x89PNG"},
        {ViewKind::List, "PDF Files (*.pdf)", "list", "%PDF-"},
        {ViewKind::List, "PDF Files (*.pdf)", "list.svg", "<?xml"},
    };
    for (const auto& c : cases) {
        CChildFrame* frame = nullptr;
        for (CChildFrame* f : Frame().ChildFrames(doc))
            if (f->FirstPane() && f->FirstPane()->Kind() == c.kind) frame = f;
        ASSERT_TRUE(frame) << c.name;
        Frame().MdiArea()->setActiveSubWindow(frame);
        Frame().UpdateCommandUI();
        ASSERT_TRUE(Frame().Action(ID_FILE_EXPORT)->isEnabled());
        QString written;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            dialog->selectNameFilter(QLatin1String(c.filter));
            emit dialog->filterSelected(QLatin1String(c.filter));
            dialog->selectFile(FilePath(c.name));
            written = dialog->selectedFiles().value(0);
            // The resolution asked for next.
            QTimer::singleShot(0, [] {
                auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
                if (!input) return;
                EXPECT_EQ(input->intValue(), 150);
                input->setIntValue(300);
                QMetaObject::invokeMethod(input, "accept", Qt::DirectConnection);
            });
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        });
        Frame().OnCommand(ID_FILE_EXPORT);
        QFile out(written);
        ASSERT_TRUE(out.open(QIODevice::ReadOnly)) << c.name << ": " << written.toStdString();
        EXPECT_TRUE(out.read(5).startsWith(c.magic)) << c.name;
        if (c.kind == ViewKind::Graph) {
            const QImage image(written);
            EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 300, 1);
            const CViewHost& host = *frame->FirstPane();
            EXPECT_NEAR(image.width(), host.viewport()->width() / host.PixelsPerUnit() * 3, 3);
        }
    }
    EXPECT_TRUE(messages.shown.empty());
    Stop();
}

TEST_F(ShellTest, PrintCommandsFollowTheActiveWindowAndListsPrintToFile) {
    COrventApp& app = Start();
    COrventDoc* doc = app.OpenDocument(QStringLiteral(KINTRA_SOURCE_DIR "/examples/spring-mass.cht"));
    ASSERT_TRUE(doc);
    CChildFrame* listFrame = nullptr;
    for (CChildFrame* frame : Frame().ChildFrames(doc))
        if (frame->FirstPane() && frame->FirstPane()->Kind() == ViewKind::List) listFrame = frame;
    ASSERT_TRUE(listFrame) << "the example has a list window";
    Frame().MdiArea()->setActiveSubWindow(listFrame);
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().Action(ID_FILE_PRINT)->isEnabled());
    EXPECT_TRUE(Frame().Action(ID_FILE_PRINT_PREVIEW)->isEnabled());
    EXPECT_TRUE(Frame().Action(ID_FILE_PRINT_SETUP)->isEnabled());
    EXPECT_TRUE(Frame().Action(ID_PRINT_TO_FILE)->isEnabled());

    auto* list = static_cast<CListBase*>(listFrame->FirstPane()->View());
    const QString path = FilePath("spring.prn");
    QString title;
    QString suffix;
    QString proposed;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        title = dialog->windowTitle();
        suffix = dialog->defaultSuffix();
        proposed = dialog->selectedFiles().value(0);
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    Frame().OnCommand(ID_PRINT_TO_FILE);
    EXPECT_EQ(title, QStringLiteral("Print to File"));
    EXPECT_EQ(suffix, QStringLiteral("prn"));
    EXPECT_TRUE(proposed.endsWith(QString::fromStdString(list->DefaultPrintFileName())))
        << proposed.toStdString();
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().toStdString(), list->PrintText());
    EXPECT_TRUE(messages.shown.empty());

    // A file that cannot be written says why.
    const QString missing = FilePath("missing/spring.prn");
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->selectFile(missing);
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    Frame().OnCommand(ID_PRINT_TO_FILE);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Export Error");
    EXPECT_NE(messages.shown[0].text.find(missing.toStdString()), std::string::npos)
        << messages.shown[0].text;

    // Print on a machine without a printer offers a PDF file instead of a dialog that prints
    // nothing; the file holds the pages printing gives. (Where a printer is installed the print
    // dialog would open: not tried here.)
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        messages.shown.clear();
        const QString pdf = FilePath("spring-list.pdf");
        messages.answers = {IDNO};
        Frame().OnCommand(ID_FILE_PRINT);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].caption, "Print");
        EXPECT_EQ(messages.shown[0].buttons, MB_YESNO);
        EXPECT_FALSE(QFile::exists(pdf)) << "No writes nothing";

        messages.answers = {IDYES};
        QStringList filters;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            filters = dialog->nameFilters();
            dialog->selectFile(pdf);
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        });
        Frame().OnCommand(ID_FILE_PRINT);
        EXPECT_EQ(filters, QStringList{QStringLiteral("PDF Files (*.pdf)")});
        EXPECT_EQ(messages.shown.size(), 2u) << "the question only";
        EXPECT_EQ(PdfPageCount(pdf), kintra::EstimatePrintPages(*listFrame->FirstPane()));
    }
    Stop();
}

} // namespace
