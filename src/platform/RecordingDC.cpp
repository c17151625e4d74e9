#include "platform/RecordingDC.h"

#include "platform/Text.h"

#include <cstdlib>

int RecordingDC::FontUnits(const LOGFONT& font) {
    const int h = std::abs(font.lfHeight);
    return h == 0 ? 13 : h;
}

RecordedOp& RecordingDC::Add(RecordedOp::Kind kind) {
    ++m_count;
    RecordedOp& op = m_countOnly ? m_scratch : m_ops.emplace_back(m_state);
    if (m_countOnly) op = m_state;
    op.kind = kind;
    op.flags = m_align;
    return op;
}

void RecordingDC::SetPen(PenStyle style, int width, COLORREF color) {
    m_state.penStyle = style;
    m_state.penWidth = width;
    m_state.penColor = color;
}

void RecordingDC::SetBrush(BrushStyle style, COLORREF color) {
    m_state.brushStyle = style;
    m_state.brushColor = color;
}

CSize RecordingDC::GetTextExtent(std::string_view text) {
    const int h = FontUnits(m_state.font);
    return {static_cast<int>(Utf8Length(text)) * ((h + 1) / 2), h};
}

TextMetrics RecordingDC::GetTextMetrics() {
    const int h = FontUnits(m_state.font);
    return {h, h - h / 5, h / 5, 0};
}

void RecordingDC::TextOut(int x, int y, std::string_view text) {
    RecordedOp& op = Add(RecordedOp::Text);
    op.x = x;
    op.y = y;
    op.text = text;
}

void RecordingDC::DrawText(std::string_view text, const CRect& rect, unsigned format) {
    RecordedOp& op = Add(RecordedOp::DrawTextOp);
    op.rect = rect;
    op.text = text;
    op.flags = format;
}

void RecordingDC::MoveTo(int x, int y) {
    RecordedOp& op = Add(RecordedOp::MoveTo);
    op.x = x;
    op.y = y;
}

void RecordingDC::LineTo(int x, int y) {
    RecordedOp& op = Add(RecordedOp::LineTo);
    op.x = x;
    op.y = y;
}

void RecordingDC::Polyline(const CPoint* points, int count) {
    RecordedOp& op = Add(RecordedOp::Polyline);
    if (!m_countOnly) op.points.assign(points, points + count);
}

void RecordingDC::Rectangle(const CRect& rect) {
    Add(RecordedOp::Rectangle).rect = rect;
}

void RecordingDC::FillRect(const CRect& rect, COLORREF color) {
    RecordedOp& op = Add(RecordedOp::FillRect);
    op.rect = rect;
    op.fillColor = color;
}

void RecordingDC::StretchPicture(int id, const CRect& dest, PictureMode mode, bool mirrored) {
    RecordedOp& op = Add(RecordedOp::Picture);
    op.rect = dest;
    op.pictureId = id;
    op.pictureMode = mode;
    op.mirrored = mirrored;
}

void RecordingDC::SetClipRect(const CRect* rect) {
    m_hasClip = rect != nullptr;
    if (rect) m_clipRect = *rect;
}

std::vector<const RecordedOp*> RecordingDC::OpsOf(RecordedOp::Kind kind) const {
    std::vector<const RecordedOp*> out;
    for (const auto& op : m_ops)
        if (op.kind == kind) out.push_back(&op);
    return out;
}

std::vector<const RecordedOp*> RecordingDC::TextsOf(const std::string& text) const {
    std::vector<const RecordedOp*> out;
    for (const auto& op : m_ops)
        if ((op.kind == RecordedOp::Text || op.kind == RecordedOp::DrawTextOp) && op.text == text)
            out.push_back(&op);
    return out;
}

std::vector<const RecordedOp*> RecordingDC::PicturesOf(int id) const {
    std::vector<const RecordedOp*> out;
    for (const auto& op : m_ops)
        if (op.kind == RecordedOp::Picture && op.pictureId == id) out.push_back(&op);
    return out;
}
