#pragma once
// A device context that draws nothing and records every drawing call, for tests and benchmarks.
// Its font metrics are fixed: with h = |lfHeight| (13 when 0), a character is (h + 1) / 2 units
// wide and a line h units tall (ascent h - h / 5, descent h / 5), so geometry can be checked
// exactly.

#include "platform/DeviceContext.h"

#include <string>
#include <vector>

struct RecordedOp {
    enum Kind { Text, DrawTextOp, MoveTo, LineTo, Polyline, Rectangle, FillRect, Picture };
    Kind kind = Text;
    // Position of text and line ends.
    int x = 0;
    int y = 0;
    CRect rect;
    std::vector<CPoint> points;
    std::string text;
    unsigned flags = 0; // text alignment or DrawText format
    int pictureId = 0;
    PictureMode pictureMode = PictureMode::Plain;
    bool mirrored = false;
    COLORREF fillColor = 0; // FillRect
    // State at the time of the call.
    PenStyle penStyle = PenStyle::Solid;
    int penWidth = 0;
    COLORREF penColor = 0;
    BrushStyle brushStyle = BrushStyle::Solid;
    COLORREF brushColor = 0;
    COLORREF textColor = 0;
    COLORREF bkColor = 0;
    BkMode bkMode = BkMode::Opaque;
    DrawMode drawMode = DrawMode::Copy;
    LOGFONT font;
};

class RecordingDC : public DeviceContext {
  public:
    RecordingDC() = default;
    explicit RecordingDC(CRect client, bool printing = false) : m_client(client), m_printing(printing) {}

    bool IsPrinting() const override { return m_printing; }
    CRect GetClientRect() const override { return m_client; }
    CRect GetClipBox() const override { return m_clipBox; }
    void SetClient(CRect client) { m_client = client; }
    // Limits what the views draw, like a partial repaint. By default nothing is left out.
    void SetClipBox(CRect box) { m_clipBox = box; }
    void SetPrinting(bool printing) { m_printing = printing; }
    // Keep only the count of calls (benchmarks).
    void SetCountOnly(bool countOnly) { m_countOnly = countOnly; }

    void SetPen(PenStyle style, int width, COLORREF color) override;
    void SetBrush(BrushStyle style, COLORREF color) override;
    void SetTextColor(COLORREF color) override { m_state.textColor = color; }
    COLORREF GetTextColor() const override { return m_state.textColor; }
    void SetBkColor(COLORREF color) override { m_state.bkColor = color; }
    void SetBkMode(BkMode mode) override { m_state.bkMode = mode; }
    void SetDrawMode(DrawMode mode) override { m_state.drawMode = mode; }

    void SelectFont(const LOGFONT& font) override { m_state.font = font; }
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

    // The character height of a font in the fixed model.
    static int FontUnits(const LOGFONT& font);

    const std::vector<RecordedOp>& Ops() const { return m_ops; }
    std::size_t Count() const { return m_count; }
    void Clear() {
        m_ops.clear();
        m_count = 0;
    }
    // Recorded calls of one kind, in order.
    std::vector<const RecordedOp*> OpsOf(RecordedOp::Kind kind) const;
    // Recorded texts equal to `text`.
    std::vector<const RecordedOp*> TextsOf(const std::string& text) const;
    // Pictures with that id.
    std::vector<const RecordedOp*> PicturesOf(int id) const;
    const CRect* ClipRect() const { return m_hasClip ? &m_clipRect : nullptr; }

  private:
    RecordedOp& Add(RecordedOp::Kind kind);

    CRect m_client{0, 0, 1000, -800};
    CRect m_clipBox{-1000000000, 1000000000, 1000000000, -1000000000};
    bool m_printing = false;
    bool m_countOnly = false;
    RecordedOp m_state;
    unsigned m_align = 0;
    CRect m_clipRect;
    bool m_hasClip = false;
    std::vector<RecordedOp> m_ops;
    std::size_t m_count = 0;
    RecordedOp m_scratch;
};
