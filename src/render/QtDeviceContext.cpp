#include "QtDeviceContext.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygon>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>

// The block pictures are compiled into this library; a static library's resources need their
// initializer called, since nothing else refers to it.
static bool RegisterPictures() {
    Q_INIT_RESOURCE(pictures);
    return true;
}

namespace {

QString Text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Faces the charts name that Linux systems usually lack, with metric-compatible replacements.
QString ResolveFace(const QString& face, int pitchAndFamily) {
    static const QStringList installed = QFontDatabase::families();
    if (!face.isEmpty() && installed.contains(face, Qt::CaseInsensitive)) return face;
    struct Alias {
        const char* face;
        const char* replacement;
    };
    static const Alias aliases[] = {
        {"Times New Roman", "Liberation Serif"},
        {"Times", "Liberation Serif"},
        {"Arial", "Liberation Sans"},
        {"Helvetica", "Liberation Sans"},
        {"MS Sans Serif", "Liberation Sans"},
        {"Courier New", "Liberation Mono"},
        {"Courier", "Liberation Mono"},
    };
    for (const auto& a : aliases)
        if (face.compare(QLatin1String(a.face), Qt::CaseInsensitive) == 0 &&
            installed.contains(QLatin1String(a.replacement), Qt::CaseInsensitive))
            return QLatin1String(a.replacement);
    // By family: roman 0x10, swiss 0x20, modern 0x30.
    const char* byFamily = nullptr;
    switch (pitchAndFamily & 0xF0) {
    case 0x10:
        byFamily = "Liberation Serif";
        break;
    case 0x20:
        byFamily = "Liberation Sans";
        break;
    case 0x30:
        byFamily = "Liberation Mono";
        break;
    default:
        break;
    }
    if (byFamily && installed.contains(QLatin1String(byFamily), Qt::CaseInsensitive))
        return QLatin1String(byFamily);
    return face;
}

// Rendered pictures by id, size in pixels, inversion and mirroring. Only the GUI thread draws.
using PictureKey = std::tuple<int, int, int, bool, bool>;
std::map<PictureKey, QImage>& PictureCache() {
    static std::map<PictureKey, QImage> cache;
    return cache;
}

QSvgRenderer* Renderer(int id) {
    static const bool registered = RegisterPictures();
    (void)registered;
    static std::map<int, std::unique_ptr<QSvgRenderer>> renderers;
    auto it = renderers.find(id);
    if (it == renderers.end()) {
        auto r = std::make_unique<QSvgRenderer>(QStringLiteral(":/pictures/%1.svg").arg(id));
        if (!r->isValid()) r.reset();
        it = renderers.emplace(id, std::move(r)).first;
    }
    return it->second.get();
}

const QImage& RenderedPicture(int id, QSize size, bool inverted, bool mirrored) {
    auto& cache = PictureCache();
    const PictureKey key{id, size.width(), size.height(), inverted, mirrored};
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    if (cache.size() > 4000) cache.clear();
    QImage image;
    if (QSvgRenderer* r = Renderer(id)) {
        image = QImage(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        if (mirrored) {
            p.translate(size.width(), 0);
            p.scale(-1, 1);
        }
        r->render(&p, QRectF(0, 0, size.width(), size.height()));
        p.end();
        if (inverted) {
            image = image.convertToFormat(QImage::Format_ARGB32);
            image.invertPixels(QImage::InvertRgb);
            image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        }
    }
    return cache.emplace(key, std::move(image)).first->second;
}

} // namespace

QtDeviceContext::QtDeviceContext(QPainter& painter, QSize deviceSize, QPoint scroll, double pixelsPerUnit,
                                 QRect dirty)
    : m_painter(&painter), m_size(deviceSize), m_scroll(scroll),
      m_ppu(pixelsPerUnit > 0 ? pixelsPerUnit : 1.0), m_dirty(dirty) {
    m_painter->save();
    m_printing = painter.device() && painter.device()->devType() == QInternal::Printer;
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setRenderHint(QPainter::TextAntialiasing, true);
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    SelectFont(DefaultLogFont());
}

QtDeviceContext::QtDeviceContext(QPainter& painter)
    : QtDeviceContext(
          painter, painter.device() ? QSize(painter.device()->width(), painter.device()->height()) : QSize(),
          QPoint(0, 0), painter.device() ? PixelsPerUnit(*painter.device()) : 1.0,
          painter.device() ? QRect(0, 0, painter.device()->width(), painter.device()->height()) : QRect()) {}

QtDeviceContext::QtDeviceContext(const QPaintDevice* device, QSize size, QPoint scroll, double pixelsPerUnit)
    : m_measuring(device), m_size(size), m_scroll(scroll), m_ppu(pixelsPerUnit > 0 ? pixelsPerUnit : 1.0),
      m_dirty(QRect(QPoint(0, 0), m_size)) {
    SelectFont(DefaultLogFont());
}

QtDeviceContext::~QtDeviceContext() {
    if (m_painter) m_painter->restore();
}

double QtDeviceContext::PixelsPerUnit(const QPaintDevice& device) {
    return device.logicalDpiX() / 100.0;
}

void QtDeviceContext::ClearPictureCache() {
    PictureCache().clear();
}

QFont QtDeviceContext::FontFor(const LOGFONT& lf, double ppu) {
    QFont font(ResolveFace(QString::fromStdString(lf.FaceName()), lf.lfPitchAndFamily));
    switch (lf.lfPitchAndFamily & 0xF0) {
    case 0x10:
        font.setStyleHint(QFont::Serif);
        break;
    case 0x20:
        font.setStyleHint(QFont::SansSerif);
        break;
    case 0x30:
        font.setStyleHint(QFont::Monospace);
        break;
    default:
        break;
    }
    // A negative height is the character height (the em), a positive one the whole cell.
    const int height = lf.lfHeight == 0 ? -13 : lf.lfHeight;
    double pixels = std::abs(height) * ppu;
    if (height > 0) {
        QFont probe = font;
        probe.setPixelSize(100);
        const QFontMetricsF m(probe);
        if (m.height() > 0) pixels = pixels * 100.0 / m.height();
    }
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    const int weight = lf.lfWeight <= 0 ? 400 : std::clamp(static_cast<int>(lf.lfWeight), 100, 900);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    font.setKerning(false);
    return font;
}

// ---- Coordinates ----

QPoint QtDeviceContext::ToDevice(int x, int y) const {
    // In doubles, then held within a range the painter's fixed-point arithmetic takes: a line
    // from a damaged chart may reach the end of the int range, and the lines are axis-parallel,
    // so holding each coordinate keeps their visible part where it is.
    static constexpr double kFar = 1 << 22;
    const auto device = [](double v) { return static_cast<int>(std::lround(std::clamp(v, -kFar, kFar))); };
    return {device((static_cast<double>(x) - m_scroll.x()) * m_ppu),
            device((-static_cast<double>(y) - m_scroll.y()) * m_ppu)};
}

QRect QtDeviceContext::ToDevice(const CRect& r) const {
    const QPoint a = ToDevice(r.left, r.top);
    const QPoint b = ToDevice(r.right, r.bottom);
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QSize(std::abs(b.x() - a.x()), std::abs(b.y() - a.y())));
}

CPoint QtDeviceContext::ToLogical(QPoint p) const {
    return {static_cast<int>(std::lround(p.x() / m_ppu)) + m_scroll.x(),
            -(static_cast<int>(std::lround(p.y() / m_ppu)) + m_scroll.y())};
}

CRect QtDeviceContext::GetClientRect() const {
    const int w = static_cast<int>(m_size.width() / m_ppu);
    const int h = static_cast<int>(m_size.height() / m_ppu);
    return {m_scroll.x(), -m_scroll.y(), m_scroll.x() + w, -m_scroll.y() - h};
}

CRect QtDeviceContext::GetClipBox() const {
    const QRect d = m_dirty.isValid() ? m_dirty : QRect(QPoint(0, 0), m_size);
    const CPoint a = ToLogical(d.topLeft());
    const CPoint b = ToLogical(d.bottomRight() + QPoint(1, 1));
    return {a.x - 1, a.y + 1, b.x + 1, b.y - 1};
}

// ---- Pens and brushes ----

void QtDeviceContext::SetPen(PenStyle style, int width, COLORREF color) {
    m_penStyle = style;
    m_penWidth = width;
    m_penColor = color;
}

void QtDeviceContext::SetBrush(BrushStyle style, COLORREF color) {
    m_brushStyle = style;
    m_brushColor = color;
}

void QtDeviceContext::PreparePen() {
    if (m_penStyle == PenStyle::Null) {
        m_painter->setPen(Qt::NoPen);
        return;
    }
    // Width 0 is the device's thinnest line; others scale, never below one pixel.
    const double w = m_penWidth <= 0 ? 0.0 : std::max(1.0, std::round(m_penWidth * m_ppu));
    QPen pen(m_drawMode == DrawMode::Invert ? QColor(Qt::white) : ColorOf(m_penColor), w);
    pen.setCapStyle(w > 1.0 ? Qt::RoundCap : Qt::SquareCap);
    pen.setJoinStyle(w > 1.0 ? Qt::RoundJoin : Qt::MiterJoin);
    m_painter->setPen(pen);
    m_painter->setCompositionMode(m_drawMode == DrawMode::Invert ? QPainter::RasterOp_SourceXorDestination
                                                                 : QPainter::CompositionMode_SourceOver);
}

// ---- Text ----

void QtDeviceContext::SelectFont(const LOGFONT& font) {
    m_font = FontFor(font, m_ppu);
}

const QPaintDevice* QtDeviceContext::MeasuringDevice() const {
    if (m_painter) return m_painter->device();
    return m_measuring;
}

CSize QtDeviceContext::GetTextExtent(std::string_view text) {
    const QPaintDevice* device = MeasuringDevice();
    const QFontMetricsF m = device ? QFontMetricsF(m_font, device) : QFontMetricsF(m_font);
    const double w = m.horizontalAdvance(Text(text));
    return {static_cast<int>(std::ceil(w / m_ppu - 1e-6)), static_cast<int>(std::lround(m.height() / m_ppu))};
}

TextMetrics QtDeviceContext::GetTextMetrics() {
    const QPaintDevice* device = MeasuringDevice();
    const QFontMetricsF m = device ? QFontMetricsF(m_font, device) : QFontMetricsF(m_font);
    TextMetrics t;
    t.height = static_cast<int>(std::lround(m.height() / m_ppu));
    t.ascent = static_cast<int>(std::lround(m.ascent() / m_ppu));
    t.descent = t.height - t.ascent;
    t.externalLeading = static_cast<int>(std::lround(m.leading() / m_ppu));
    return t;
}

void QtDeviceContext::TextOut(int x, int y, std::string_view text) {
    if (!m_painter || text.empty()) return;
    const QString s = Text(text);
    const QFontMetricsF m(m_font, m_painter->device());
    const QPoint p = ToDevice(x, y);
    const double width = m.horizontalAdvance(s);
    double left = p.x();
    if ((m_align & TA_CENTER) == TA_CENTER)
        left -= width / 2.0;
    else if (m_align & TA_RIGHT)
        left -= width;
    double top = p.y();
    if ((m_align & TA_BASELINE) == TA_BASELINE)
        top -= m.ascent();
    else if (m_align & TA_BOTTOM)
        top -= m.height();
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (m_bkMode == BkMode::Opaque)
        m_painter->fillRect(QRectF(left, top, width, m.height()), ColorOf(m_bkColor));
    m_painter->setFont(m_font);
    m_painter->setPen(ColorOf(m_textColor));
    m_painter->drawText(QPointF(left, top + m.ascent()), s);
}

void QtDeviceContext::DrawText(std::string_view text, const CRect& rect, unsigned format) {
    if (!m_painter || text.empty()) return;
    int flags = 0;
    if (format & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    if (format & DT_VCENTER)
        flags |= Qt::AlignVCenter;
    else if (format & DT_BOTTOM)
        flags |= Qt::AlignBottom;
    else
        flags |= Qt::AlignTop;
    if (format & DT_WORDBREAK) flags |= Qt::TextWordWrap;
    if (format & DT_NOCLIP) flags |= Qt::TextDontClip;
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter->setFont(m_font);
    m_painter->setPen(ColorOf(m_textColor));
    m_painter->drawText(ToDevice(rect), flags, Text(text));
}

// ---- Lines and shapes ----

void QtDeviceContext::MoveTo(int x, int y) {
    m_current = {x, y};
}

void QtDeviceContext::LineTo(int x, int y) {
    if (m_painter) {
        PreparePen();
        m_painter->drawLine(ToDevice(m_current.x, m_current.y), ToDevice(x, y));
        m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    m_current = {x, y};
}

void QtDeviceContext::Polyline(const CPoint* points, int count) {
    if (!m_painter || count < 2) return;
    QPolygon polygon;
    polygon.reserve(count);
    for (int i = 0; i < count; ++i)
        polygon << ToDevice(points[i].x, points[i].y);
    PreparePen();
    m_painter->drawPolyline(polygon);
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void QtDeviceContext::Rectangle(const CRect& rect) {
    if (!m_painter) return;
    const QRect r = ToDevice(rect);
    if (m_brushStyle == BrushStyle::Solid) m_painter->fillRect(r, ColorOf(m_brushColor));
    if (m_penStyle != PenStyle::Null) {
        PreparePen();
        m_painter->setBrush(Qt::NoBrush);
        // The outline runs on the rectangle's edge pixels, like a one-pixel frame.
        if (r.width() > 0 && r.height() > 0) m_painter->drawRect(r.adjusted(0, 0, -1, -1));
        m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

void QtDeviceContext::FillRect(const CRect& rect, COLORREF color) {
    if (!m_painter) return;
    m_painter->fillRect(ToDevice(rect), ColorOf(color));
}

// ---- Pictures ----

void QtDeviceContext::StretchPicture(int id, const CRect& dest, PictureMode mode, bool mirrored) {
    if (!m_painter) return;
    const QRect r = ToDevice(dest);
    if (r.width() <= 0 || r.height() <= 0) return;
    const bool inverted = mode == PictureMode::Inverted;
    if (m_printing && !inverted) {
        // On paper the picture stays a drawing at the printer's resolution.
        QSvgRenderer* renderer = Renderer(id);
        if (!renderer) return;
        m_painter->save();
        m_painter->setRenderHint(QPainter::Antialiasing);
        if (mirrored) {
            m_painter->translate(r.x() + r.width(), r.y());
            m_painter->scale(-1, 1);
            renderer->render(m_painter, QRectF(0, 0, r.width(), r.height()));
        } else {
            renderer->render(m_painter, QRectF(r));
        }
        m_painter->restore();
        return;
    }
    const QImage& image = RenderedPicture(id, r.size(), inverted, mirrored);
    if (image.isNull()) return;
    m_painter->drawImage(r.topLeft(), image);
}

void QtDeviceContext::SetClipRect(const CRect* rect) {
    if (!m_painter) return;
    if (rect)
        m_painter->setClipRect(ToDevice(*rect));
    else
        m_painter->setClipping(false);
}
