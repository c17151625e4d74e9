#pragma once
// The device context on a QPainter: a widget, an image or a printer. Logical units of 0.01 inch
// with y upwards are turned into device pixels here (the painter itself is never flipped, so text
// stands upright): x_pixel = (x - scroll.x) * ppu, y_pixel = (-y - scroll.y) * ppu, where ppu is
// the device's pixels per logical unit (its logical DPI / 100) and the scroll position is in
// logical units, y counted downwards from the top.

#include "platform/DeviceContext.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

class QPaintDevice;
class QPainter;

class QtDeviceContext : public DeviceContext {
  public:
    // Drawing with `painter` on a surface of `deviceSize` pixels; `dirty` (pixels) is the part that
    // needs painting. A painter on a printer makes a printing context.
    QtDeviceContext(QPainter& painter, QSize deviceSize, QPoint scroll, double pixelsPerUnit, QRect dirty);
    // The same over the painter's whole device, unscrolled, at the device's own resolution.
    explicit QtDeviceContext(QPainter& painter);
    // Measuring only (text extents on a widget outside painting, `size` pixels); drawing calls do
    // nothing.
    QtDeviceContext(const QPaintDevice* device, QSize size, QPoint scroll, double pixelsPerUnit);
    ~QtDeviceContext() override;

    QtDeviceContext(const QtDeviceContext&) = delete;
    QtDeviceContext& operator=(const QtDeviceContext&) = delete;

    // Pixels per logical unit of a device.
    static double PixelsPerUnit(const QPaintDevice& device);
    // The QFont of a LOGFONT at `pixelsPerUnit`; faces missing on this system are replaced by
    // metric-compatible ones ("Times New Roman" by Liberation Serif).
    static QFont FontFor(const LOGFONT& font, double pixelsPerUnit);
    static QColor ColorOf(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
    // Empties the cache of rendered pictures.
    static void ClearPictureCache();

    void SetPrinting(bool printing) { m_printing = printing; }

    // ---- DeviceContext ----
    bool IsPrinting() const override { return m_printing; }
    CRect GetClientRect() const override;
    CRect GetClipBox() const override;
    void SetPen(PenStyle style, int width, COLORREF color) override;
    void SetBrush(BrushStyle style, COLORREF color) override;
    void SetTextColor(COLORREF color) override { m_textColor = color; }
    COLORREF GetTextColor() const override { return m_textColor; }
    void SetBkColor(COLORREF color) override { m_bkColor = color; }
    void SetBkMode(BkMode mode) override { m_bkMode = mode; }
    void SetDrawMode(DrawMode mode) override { m_drawMode = mode; }
    void SelectFont(const LOGFONT& font) override;
    CSize GetTextExtent(std::string_view text) override;
    TextMetrics GetTextMetrics() override;
    void SetTextAlign(unsigned flags) override { m_align = flags; }
    void TextOut(int x, int y, std::string_view text) override;
    void DrawText(std::string_view text, const CRect& rect, unsigned format) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(const CPoint* points, int count) override;
    void Rectangle(const CRect& rect) override;
    void FillRect(const CRect& rect, COLORREF color) override;
    void StretchPicture(int id, const CRect& dest, PictureMode mode, bool mirrored = false) override;
    void SetClipRect(const CRect* rect) override;

    // Logical point to device pixel (rounded) and back.
    QPoint ToDevice(int x, int y) const;
    QRect ToDevice(const CRect& r) const;
    CPoint ToLogical(QPoint p) const;

  private:
    void PreparePen();
    const QPaintDevice* MeasuringDevice() const;

    QPainter* m_painter = nullptr;
    const QPaintDevice* m_measuring = nullptr;
    QSize m_size;
    QPoint m_scroll;
    double m_ppu = 1.0;
    QRect m_dirty;
    bool m_printing = false;

    PenStyle m_penStyle = PenStyle::Solid;
    int m_penWidth = 0;
    COLORREF m_penColor = 0;
    BrushStyle m_brushStyle = BrushStyle::Solid;
    COLORREF m_brushColor = RGB(255, 255, 255);
    COLORREF m_textColor = 0;
    COLORREF m_bkColor = RGB(255, 255, 255);
    BkMode m_bkMode = BkMode::Opaque;
    DrawMode m_drawMode = DrawMode::Copy;
    unsigned m_align = 0;
    QFont m_font;
    CPoint m_current;
};
