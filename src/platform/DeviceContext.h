#pragma once
// Drawing surface of the views. Coordinates are logical units of 0.01 inch with x to the right
// and y upwards (so everything below the top edge of a view has a negative y). The program draws
// through a Qt implementation (screen, image, printer); tests use the recording one
// (platform/RecordingDC.h), whose fixed font metrics make geometry exact.

#include "platform/Geometry.h"
#include "platform/LogFont.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

enum class PenStyle { Solid, Null };
enum class BrushStyle { Solid, Null };
enum class BkMode { Transparent, Opaque };
// Copy draws in the pen colour; Invert inverts the pixels under the pen (the rubber band, drawn
// twice to erase it).
enum class DrawMode { Copy, Invert };
enum class PictureMode { Plain, Inverted };

// Text alignment of TextOut: the reference point is the left, centre or right of the text and
// its top, baseline or bottom.
enum TextAlignFlags : unsigned {
    TA_LEFT = 0,
    TA_TOP = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};

// Formats of DrawText in a rectangle.
enum DrawTextFlags : unsigned {
    DT_LEFT = 0,
    DT_TOP = 0,
    DT_CENTER = 1,
    DT_RIGHT = 2,
    DT_VCENTER = 4,
    DT_BOTTOM = 8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_NOCLIP = 0x100,
};

struct TextMetrics {
    std::int32_t height = 0; // ascent + descent: one line of text
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    std::int32_t externalLeading = 0;
};

class DeviceContext {
  public:
    virtual ~DeviceContext() = default;

    // ---- The device ----
    virtual bool IsPrinting() const = 0;
    // The visible area of the surface in logical units: its left/top at the scroll origin.
    virtual CRect GetClientRect() const = 0;
    // The part of the surface that needs drawing now, in logical units; drawing outside it may be
    // skipped.
    virtual CRect GetClipBox() const = 0;

    // ---- Pens, brushes, colours, modes ----
    // A pen of `width` logical units; 0 is the thinnest line the device draws.
    virtual void SetPen(PenStyle style, int width, COLORREF color) = 0;
    virtual void SetBrush(BrushStyle style, COLORREF color) = 0;
    virtual void SetTextColor(COLORREF color) = 0;
    virtual COLORREF GetTextColor() const = 0;
    virtual void SetBkColor(COLORREF color) = 0;
    virtual void SetBkMode(BkMode mode) = 0;
    virtual void SetDrawMode(DrawMode mode) = 0;

    // ---- Text ----
    // lfHeight is in logical units: negative for the character height, positive for the cell.
    virtual void SelectFont(const LOGFONT& font) = 0;
    virtual CSize GetTextExtent(std::string_view text) = 0;
    virtual TextMetrics GetTextMetrics() = 0;
    virtual void SetTextAlign(unsigned flags) = 0;
    virtual void TextOut(int x, int y, std::string_view text) = 0;
    // Text in a rectangle with DT_* alignment; DT_WORDBREAK wraps at spaces.
    virtual void DrawText(std::string_view text, const CRect& rect, unsigned format) = 0;

    // ---- Lines and shapes ----
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    virtual void Polyline(const CPoint* points, int count) = 0;
    // Outline in the pen, inside in the brush. Corners are (left, top) and (right, bottom).
    virtual void Rectangle(const CRect& rect) = 0;
    // Solid fill without outline.
    virtual void FillRect(const CRect& rect, COLORREF color) = 0;

    // ---- Pictures ----
    // Picture `id` stretched over `dest` (left/top is the top-left corner); `mirrored` flips it
    // left to right. A picture the device does not have draws nothing.
    virtual void StretchPicture(int id, const CRect& dest, PictureMode mode, bool mirrored = false) = 0;

    // ---- Clipping ----
    // Drawing is limited to `rect`; null removes the limit.
    virtual void SetClipRect(const CRect* rect) = 0;
};

// System colours the views use; the program installs the desktop's, tests see the defaults.
enum SysColorIndex {
    COLOR_WINDOW = 5,
    COLOR_WINDOWTEXT = 8,
};
COLORREF GetSysColor(int index);
void SetSysColor(int index, COLORREF color);

// What a core view needs of the window that shows it. The program implements it on the widget
// hosting the view; a view without a window (tests, printing off-screen) simply has none.
class ViewWindow {
  public:
    virtual ~ViewWindow() = default;
    // A device context on the window, prepared for its current scroll position.
    virtual std::unique_ptr<DeviceContext> GetDC() = 0;
    // Scrolling sizes in logical units: the whole view, one page, one line.
    virtual void SetScrollSizes(CSize total, CSize page, CSize line) = 0;
    // Repaint the whole window.
    virtual void Invalidate() = 0;
    // The caption of the window's frame (empty: the framework's standard caption).
    virtual void SetCaption(const std::string& caption) = 0;
};
