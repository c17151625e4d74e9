// The chart view drawn through the Qt device context into images (and a PDF), offscreen. The
// pictures land in KINTRA_RENDER_DIR for people to look at; the tests check what can be checked
// by pixel: holding points, picture faces, lines and labels where the geometry puts them.

#include "blocks/Catalogue.h"
#include "chart/OrventView.h"
#include "model/OrventDoc.h"
#include "platform/Platform.h"
#include "render/QtDeviceContext.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "kintra_gui_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
}

QString RenderPath(const char* name) {
    QDir().mkpath(QStringLiteral(KINTRA_RENDER_DIR));
    return QStringLiteral(KINTRA_RENDER_DIR "/%1").arg(QLatin1String(name));
}

// A chart document with its view, quiet services and helpers to place and wire blocks.
class ChartRender : public ::testing::Test {
  protected:
    ChartRender() : scope(&store, &messages, &windows) {
        EnsureApplication();
        doc.AddView(&view);
        doc.OnNewDocument();
    }

    CBlock* Put(int code, int x, int y, int invert = 0) {
        doc.PendingBlock = doc.CreateBlock(code);
        if (!doc.PendingBlock) return nullptr;
        CBlock* b = doc.PendingBlock.get();
        b->Invert = invert;
        doc.PlaceBlock(x, y);
        return b;
    }

    // Wires the first free input of `to` to `from`.
    void Wire(CBlock* from, CBlock* to) {
        if (!from || !to) return;
        for (int i = 0; i < to->InputsShown; ++i)
            if (!to->Inputs[i]) {
                to->Inputs[i] = from;
                doc.RouteInput(to, i);
                return;
            }
    }

    // Draws the whole chart into an image at the screen resolution (96 dpi). With a width the
    // window is that many pixels wide (the notes wrap to it).
    QImage Render(const char* file, int width = 0) {
        QImage probe(1, 1, QImage::Format_RGB32);
        ppu = QtDeviceContext::PixelsPerUnit(probe);
        int w = width > 0 ? width : 2000;
        int h = 2000;
        for (int pass = 0; pass < 2; ++pass) {
            QImage image(w, h, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            {
                QtDeviceContext dc(painter, image.size(), QPoint(0, 0), ppu, image.rect());
                view.RecalcLayout(&dc);
                if (pass == 1) {
                    view.OnDraw(dc);
                }
            }
            painter.end();
            if (pass == 1) {
                if (file) image.save(RenderPath(file));
                return image;
            }
            if (width <= 0) w = static_cast<int>(std::ceil(view.TotalWidth * ppu)) + 1;
            h = static_cast<int>(std::ceil(view.TotalHeight * ppu)) + 1;
        }
        return {};
    }

    QPoint Pixel(int x, int y) const {
        return {static_cast<int>(std::lround(x * ppu)), static_cast<int>(std::lround(-y * ppu))};
    }
    QColor At(const QImage& image, int x, int y) const { return image.pixelColor(Pixel(x, y)); }
    // True when some pixel of the logical box is darker than mid grey.
    bool HasInk(const QImage& image, int left, int top, int right, int bottom) const {
        const QPoint a = Pixel(left, top);
        const QPoint b = Pixel(right, bottom);
        for (int py = std::max(0, a.y()); py <= std::min(image.height() - 1, b.y()); ++py)
            for (int px = std::max(0, a.x()); px <= std::min(image.width() - 1, b.x()); ++px)
                if (image.pixelColor(px, py).lightness() < 110) return true;
        return false;
    }

    // Every block type on a grid of eight columns with a few wires, two mirrored blocks and a
    // selection.
    void BuildCatalogueChart() {
        std::size_t count = 0;
        const CBlockTypeInfo* types = BlockTypes(count);
        int cell = 1;
        CBlock* previous = doc.Blocks.front().get();
        for (std::size_t i = 0; i < count; ++i) {
            if (types[i].TypeId == kClockTypeId) continue;
            const int x = cell % 8;
            const int y = -(cell / 8);
            CBlock* b = Put(types[i].TypeId, x, y);
            if (!b) continue;
            ++cell;
            b->Value = (cell % 2 ? 1 : -1) * 0.5 * cell;
            if (x > 0) Wire(previous, b);
            previous = b;
            placed.push_back(b);
        }
    }

    MemorySettingsStore store;
    RecordingMessageHost messages;
    WindowHost windows;
    ScopedPlatform scope;
    COrventDoc doc;
    COrventView view;
    std::vector<CBlock*> placed;
    double ppu = 0.96;
};

TEST_F(ChartRender, EveryBlockTypeInColourAtMagnificationOne) {
    BuildCatalogueChart();
    ASSERT_GE(placed.size(), 10u);
    // One long line down the chart and two mirrored blocks fed from the left.
    CBlock* gain = Put(BlockType::Gain, 9, -1);
    Wire(placed[2], gain);
    CBlock* mirrored = Put(BlockType::Negate, 10, -3, 1);
    Wire(gain, mirrored);
    CBlock* sum = Put(BlockType::Sum, 9, -4, 1);
    Wire(mirrored, sum);
    Wire(placed[20], sum);
    view.SelectedBlock = placed[5];

    const QImage image = Render("chart-blocks.png");
    // Holding point of an empty cell in the Hold colour (red).
    const CPoint free = view.CellCentre(12, -6);
    EXPECT_EQ(At(image, free.x, free.y), QColor(255, 0, 0));
    // Picture faces: light, and inverted (dark) for the selected block.
    for (CBlock* b : {placed[0], placed[10], placed[30]}) {
        const CPoint c = view.CellCentre(b->Position.x, b->Position.y);
        const QColor face = At(image, c.x - 9, c.y + 9);
        EXPECT_GT(face.lightness(), 180) << b->TypeName;
        EXPECT_NE(face, QColor(Qt::white)) << b->TypeName;
    }
    const CPoint s = view.CellCentre(placed[5]->Position.x, placed[5]->Position.y);
    EXPECT_LT(At(image, s.x - 9, s.y + 9).lightness(), 80) << "the selected block is drawn inverted";
    // The gain's line runs in its source's colour along its middle segment.
    doc.ComputeRoute(gain, 0, view.LineGeometry());
    const auto p = doc.RoutePoints;
    const CPoint mid{(p[2].x + p[3].x) / 2, p[2].y};
    ASSERT_EQ(p[2].y, p[3].y);
    EXPECT_EQ(At(image, mid.x, mid.y), QtDeviceContext::ColorOf(placed[2]->LineColor));
    // Names and values are written.
    const CPoint c = view.CellCentre(placed[0]->Position.x, placed[0]->Position.y);
    EXPECT_TRUE(HasInk(image, c.x - 20, c.y - 15, c.x + 20, c.y - 15 - view.TextHeight));
    EXPECT_TRUE(HasInk(image, c.x - 30, c.y + 13 + view.TextHeight, c.x + 30, c.y + 13));
}

TEST_F(ChartRender, MagnificationTwoAndMonochrome) {
    BuildCatalogueChart();
    view.MagBmp = 2.0;
    view.ChartLf.lfHeight = -20;
    view.HoldSize = 3;
    const QImage big = Render("chart-blocks-mag2.png");
    const CBlock* b = placed[3];
    const CPoint c = view.CellCentre(b->Position.x, b->Position.y);
    EXPECT_GT(At(big, c.x - 18, c.y + 18).lightness(), 180);
    EXPECT_NE(At(big, c.x - 18, c.y + 18), QColor(Qt::white));
    // The picture now reaches 22 units left of the centre, not 11.
    EXPECT_NE(At(big, c.x - 19, c.y), QColor(Qt::white));

    view.MagBmp = 1.0;
    view.ChartLf.lfHeight = -13;
    view.HoldSize = 2;
    view.DisplayMode = 1;
    const QImage mono = Render("chart-blocks-mono.png");
    const CPoint free = view.CellCentre(9, -6);
    EXPECT_EQ(At(mono, free.x, free.y), QColor(Qt::black));
    // Monochrome pictures: white faces, black lines between blocks.
    const CPoint m = view.CellCentre(placed[10]->Position.x, placed[10]->Position.y);
    EXPECT_EQ(At(mono, m.x - 9, m.y + 9), QColor(Qt::white));
    doc.ComputeRoute(placed[9], 0, view.LineGeometry());
    const auto p = doc.RoutePoints;
    EXPECT_EQ(At(mono, (p[0].x + p[1].x) / 2 + 1, p[0].y), QColor(Qt::black));
}

TEST_F(ChartRender, UnroutableLinesShowTheirLabels) {
    doc.VertLines = 1;
    doc.HorizLines = 1;
    CBlock* s1 = Put(BlockType::Constant, 0, -1);
    CBlock* b1 = Put(BlockType::Integrate, 1, -3);
    Wire(s1, b1);
    CBlock* s2 = Put(BlockType::Pi, 0, -2);
    CBlock* b2 = Put(BlockType::Negate, 1, -4);
    Wire(s2, b2);
    ASSERT_EQ(b2->RouteRecord[0].v[0], ROUTE_UNROUTABLE);
    ASSERT_EQ(s2->LineLabel, "a");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Vertical Line Not Available");
    CBlock* s3 = Put(BlockType::Sum, 3, 0);
    CBlock* b3 = Put(BlockType::Gain, 4, -2, 1);
    Wire(s3, b3);

    const QImage image = Render("chart-unroutable.png");
    doc.ComputeRoute(b2, 0, view.LineGeometry());
    const auto p = doc.RoutePoints;
    const int h = view.TextHeight;
    // "a" left of the input end and right of the output end.
    EXPECT_TRUE(
        HasInk(image, p[0].x - view.TextGap - 2 * h, p[0].y + h / 2, p[0].x - view.TextGap, p[0].y - h / 2));
    EXPECT_TRUE(
        HasInk(image, p[5].x + view.TextGap, p[5].y + h / 2, p[5].x + view.TextGap + 2 * h, p[5].y - h / 2));
    // Nothing drawn between them where the line would run.
    EXPECT_FALSE(HasInk(image, p[0].x - 30, p[0].y + 2, p[0].x - 20, p[0].y - 2));
}

TEST_F(ChartRender, NotesWrapOverThreeLinesAbovetheGrid) {
    CBlock* k = Put(BlockType::Constant, 1, 0);
    CBlock* g = Put(BlockType::Gain, 2, 0);
    Wire(k, g);
    view.NotesDisplay = 1;
    view.NotesClr = RGB(0, 0, 160);
    view.ChartNotes =
        "Tank model: the inflow is integrated to the level; the outflow follows the square root "
        "of the level. Run it for ten seconds.";
    const QImage image = Render("chart-notes.png", 250);
    ASSERT_EQ(view.NotesLines.size(), 3u);
    EXPECT_EQ(view.NotesHeight, 3 * (view.NotesHeight / 3));
    EXPECT_GT(view.YOrigin, view.CellHeight / 2 + 12 + view.NotesHeight - 1);
    // Every line is written, in the notes colour, within the window.
    for (int i = 0; i < 3; ++i) {
        const int top = -i * view.NotesHeight / 3;
        EXPECT_TRUE(HasInk(image, 10, top, 250 / ppu - 1, top - view.NotesHeight / 3)) << "line " << i;
    }
    const CPoint c = view.CellCentre(1, 0);
    EXPECT_NE(At(image, c.x - 9, c.y + 9), QColor(Qt::white)) << "the grid moved below the notes";
}

TEST_F(ChartRender, PrintedPageAndPdf) {
    BuildCatalogueChart();
    view.ChartTitle = "All blocks";
    doc.SetPathName("/tmp/all-blocks.cht");
    doc.SetTitle("all-blocks.cht");
    view.PrintDate = "01/02/03";
    view.NotesDisplay = 1;
    view.ChartNotes = "Every block type of the catalogue.";

    // A page of 8 x 10.54 inches at 100 dpi: one logical unit a pixel.
    QImage page(800, 1054, QImage::Format_RGB32);
    page.fill(Qt::white);
    page.setDotsPerMeterX(3937);
    page.setDotsPerMeterY(3937);
    {
        QPainter painter(&page);
        QtDeviceContext dc(painter, page.size(), QPoint(0, 0), 1.0, page.rect());
        dc.SetPrinting(true);
        view.PrintRect = {0, 0, 800, -1054};
        view.RecalcLayout(&dc);
        view.Paginate();
        view.CurrentPageColumn = 1;
        view.CurrentPageRow = 1;
        view.OnDraw(dc);
    }
    page.save(RenderPath("chart-print-page.png"));
    ppu = 1.0;
    // No holding points on paper; the header holds the title.
    const CPoint free = view.CellCentre(7, -5);
    EXPECT_EQ(At(page, free.x, free.y - 2 * view.TextHeight), QColor(Qt::white));
    EXPECT_TRUE(HasInk(page, 10, -view.TextHeight, 300, -2 * view.TextHeight));

    const QString pdf = RenderPath("chart-print.pdf");
    QFile::remove(pdf);
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QPainter painter(&printer);
        QtDeviceContext dc(painter);
        EXPECT_TRUE(dc.IsPrinting());
        const CRect page = dc.GetClientRect();
        EXPECT_NEAR(page.Width(), 800, 60) << "a letter or A4 page, in hundredths of an inch";
        view.PrintRect = {0, 0, page.right, page.bottom};
        view.RecalcLayout(&dc);
        view.Paginate();
        view.OnDraw(dc);
    }
    EXPECT_GT(QFile(pdf).size(), 1000);
}

TEST_F(ChartRender, MissingPicturesDrawNothing) {
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtDeviceContext dc(painter, image.size(), QPoint(0, 0), 1.0, image.rect());
        dc.StretchPicture(99999, {0, 0, 30, -30}, PictureMode::Inverted);
        dc.StretchPicture(151, {0, 0, 0, 0}, PictureMode::Plain);
    }
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(image.pixelColor(x, y), QColor(Qt::white));
}

TEST_F(ChartRender, TimesNewRomanResolvesAndMeasuresInLogicalUnits) {
    const QFont f = QtDeviceContext::FontFor(DefaultLogFont(), 1.0);
    EXPECT_EQ(f.pixelSize(), 13);
    EXPECT_TRUE(f.family() == "Times New Roman" || f.family() == "Liberation Serif")
        << f.family().toStdString();
    QImage image(100, 100, QImage::Format_RGB32);
    image.setDotsPerMeterX(3937 * 2); // 200 dpi: two pixels a unit
    image.setDotsPerMeterY(3937 * 2);
    QPainter painter(&image);
    QtDeviceContext dc(painter);
    LOGFONT lf;
    lf.lfWeight = 700;
    lf.lfItalic = 1;
    dc.SelectFont(lf);
    const CSize e = dc.GetTextExtent("+0.000e+000");
    EXPECT_GT(e.cx, 40);
    EXPECT_LT(e.cx, 90);
    EXPECT_GE(e.cy, 13);
    EXPECT_LE(e.cy, 17);
    EXPECT_EQ(dc.GetClientRect(), (CRect{0, 0, 50, -50}));
}

TEST_F(ChartRender, RubberBandDrawnTwiceLeavesNoTraceAndTextStandsUpright) {
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(QColor(200, 220, 240));
    const QImage before = image.copy();
    {
        QPainter painter(&image);
        QtDeviceContext dc(painter, image.size(), QPoint(0, 0), 1.0, image.rect());
        dc.SetDrawMode(DrawMode::Invert);
        dc.SetPen(PenStyle::Solid, 0, RGB(0, 0, 0));
        dc.MoveTo(10, -10);
        dc.LineTo(90, -60);
        EXPECT_EQ(image.pixelColor(10, 10), QColor(55, 35, 15)) << "inverted under the pen";
        dc.MoveTo(10, -10);
        dc.LineTo(90, -60);
    }
    EXPECT_EQ(image, before);

    // A capital T, top-aligned: its bar is in the upper rows of the text.
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtDeviceContext dc(painter, image.size(), QPoint(0, 0), 1.0, image.rect());
        LOGFONT lf;
        lf.lfHeight = -60;
        dc.SelectFont(lf);
        dc.SetTextAlign(TA_LEFT | TA_TOP);
        dc.TextOut(20, -10, "T");
    }
    auto inkInRow = [&](int y) {
        int n = 0;
        for (int x = 0; x < 100; ++x)
            n += image.pixelColor(x, y).lightness() < 128;
        return n;
    };
    int widest = 0;
    int widestRow = 0;
    int lastInk = 0;
    for (int y = 0; y < 100; ++y) {
        if (inkInRow(y) > widest) {
            widest = inkInRow(y);
            widestRow = y;
        }
        if (inkInRow(y) > 0) lastInk = y;
    }
    EXPECT_GT(widest, 15);
    EXPECT_LT(widestRow, lastInk - 20) << "the bar of the T is at the top";
}

} // namespace

// The GUI tests run on the offscreen platform; another main of the suite takes precedence.
__attribute__((weak)) int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterBlockTypes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
