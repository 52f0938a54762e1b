#include "velpainter.h"

#include "velfontdatabase.h"
#include "velfontengine.h"

#include "vellogging.h"
#include "velpixmap.h"
#include "velrasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{

bool paintableFormat(VelImage::Format f)
{
    return f == VelImage::Format_RGB32 || f == VelImage::Format_ARGB32 ||
           f == VelImage::Format_ARGB32_Premultiplied || f == VelImage::Format_RGB16;
}

// Source-over of two premultiplied colours.
uint sourceOver(uint src, uint dst)
{
    const uint inverse = 255 - (src >> 24);
    if (inverse == 0)
        return src;
    const uint a = (src >> 24) + velMul255(dst >> 24, inverse);
    const uint r = ((src >> 16) & 0xff) + velMul255((dst >> 16) & 0xff, inverse);
    const uint g = ((src >> 8) & 0xff) + velMul255((dst >> 8) & 0xff, inverse);
    const uint b = (src & 0xff) + velMul255(dst & 0xff, inverse);
    return (std::min(a, 255u) << 24) | (std::min(r, 255u) << 16) | (std::min(g, 255u) << 8) |
           std::min(b, 255u);
}

uint scaleByCoverage(uint premultiplied, uint coverage)
{
    if (coverage >= 255)
        return premultiplied;
    return (velMul255(premultiplied >> 24, coverage) << 24) |
           (velMul255((premultiplied >> 16) & 0xff, coverage) << 16) |
           (velMul255((premultiplied >> 8) & 0xff, coverage) << 8) |
           velMul255(premultiplied & 0xff, coverage);
}

// Coverage of one mask pixel, 0-255.
uint maskCoverage(const VelImage &mask, const uchar *line, int x)
{
    switch (mask.format()) {
    case VelImage::Format_Mono:
        return ((line[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0;
    case VelImage::Format_MonoLSB:
        return ((line[x >> 3] >> (x & 7)) & 1) ? 255 : 0;
    case VelImage::Format_Indexed8:
    case VelImage::Format_Alpha8:
    case VelImage::Format_Grayscale8:
        return line[x];
    default:
        return 0;
    }
}

} // namespace

bool VelPainter::begin(VelPaintDevice *device)
{
    end();
    if (!device)
        return false;
    VelImage *image = nullptr;
    if (device->devType() == VelPaintDevice::Image)
        image = static_cast<VelImage *>(device);
    else if (device->devType() == VelPaintDevice::Pixmap)
        image = static_cast<VelPixmap *>(device)->imageForPainting();
    if (!image || image->isNull() || !paintableFormat(image->format())) {
        velWarning("VelPainter::begin: the device cannot be painted on");
        return false;
    }
    // Detach once up front so that scan lines stay valid while painting.
    image->bits();
    m_device = device;
    m_image = image;
    m_origin = VelPoint();
    m_clipEnabled = false;
    return true;
}

bool VelPainter::end()
{
    const bool wasActive = isActive();
    m_device = nullptr;
    m_image = nullptr;
    return wasActive;
}

void VelPainter::setClipRect(const VelRect &rect)
{
    m_clip = rect.translated(m_origin.x(), m_origin.y());
    m_clipEnabled = true;
}

void VelPainter::translate(int dx, int dy)
{
    m_origin += VelPoint(dx, dy);
}

VelRect VelPainter::effectiveClip() const
{
    if (!m_image)
        return VelRect();
    return m_clipEnabled ? m_clip.intersected(m_image->rect()) : m_image->rect();
}

void VelPainter::blendPixel(uchar *line, int x, uint src)
{
    switch (m_image->format()) {
    case VelImage::Format_ARGB32_Premultiplied: {
        uint &dst = reinterpret_cast<uint *>(line)[x];
        dst = m_mode == CompositionMode_Source ? src : sourceOver(src, dst);
        break;
    }
    case VelImage::Format_ARGB32: {
        uint &dst = reinterpret_cast<uint *>(line)[x];
        dst = velUnpremultiply(
            m_mode == CompositionMode_Source ? src : sourceOver(src, velPremultiply(dst)));
        break;
    }
    case VelImage::Format_RGB32: {
        uint &dst = reinterpret_cast<uint *>(line)[x];
        const uint over = sourceOver(src, 0xff000000u | dst);
        dst = 0xff000000u | (m_mode == CompositionMode_Source ? velUnpremultiply(src) : over);
        break;
    }
    case VelImage::Format_RGB16: {
        ushort &dst = reinterpret_cast<ushort *>(line)[x];
        const uint result = m_mode == CompositionMode_Source
                                ? velUnpremultiply(src)
                                : sourceOver(src, velConvertRgb16To32(dst));
        dst = velConvertRgb32To16(result);
        break;
    }
    default:
        break;
    }
}

void VelPainter::blendSpan(int x, int y, int count, uint src)
{
    uchar *line = m_image->scanLine(y);
    for (int i = 0; i < count; ++i)
        blendPixel(line, x + i, src);
}

void VelPainter::fillRect(const VelRect &rect, const VelColor &color)
{
    if (!isActive() || !color.isValid())
        return;
    const VelRect area = rect.translated(m_origin.x(), m_origin.y()).intersected(effectiveClip());
    if (area.isEmpty())
        return;
    const uint src = color.premultiplied();
    for (int y = area.top(); y <= area.bottom(); ++y)
        blendSpan(area.left(), y, area.width(), src);
}

void VelPainter::eraseRect(const VelRect &rect)
{
    const CompositionMode saved = m_mode;
    m_mode = CompositionMode_Source;
    fillRect(rect, VelColor(0, 0, 0, 0));
    m_mode = saved;
}

void VelPainter::drawImage(const VelPoint &topLeft, const VelImage &image)
{
    drawImage(VelRect(topLeft.x(), topLeft.y(), image.width(), image.height()), image);
}

void VelPainter::drawImage(const VelRect &target, const VelImage &image, const VelRect &sourceRect)
{
    if (!isActive() || image.isNull() || target.isEmpty())
        return;
    const VelRect source =
        sourceRect.isEmpty() ? image.rect() : sourceRect.intersected(image.rect());
    if (source.isEmpty())
        return;
    // One conversion up front; the inner loop then reads premultiplied words.
    const VelImage src = image.format() == VelImage::Format_ARGB32_Premultiplied
                             ? image
                             : image.convertToFormat(VelImage::Format_ARGB32_Premultiplied);
    const VelRect placed = target.translated(m_origin.x(), m_origin.y());
    const VelRect area = placed.intersected(effectiveClip());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const int sy =
            source.top() + int((long long)(y - placed.top()) * source.height() / placed.height());
        const uint *srcLine = reinterpret_cast<const uint *>(src.constScanLine(sy));
        uchar *line = m_image->scanLine(y);
        for (int x = area.left(); x <= area.right(); ++x) {
            const int sx = source.left() +
                           int((long long)(x - placed.left()) * source.width() / placed.width());
            blendPixel(line, x, srcLine[sx]);
        }
    }
}

void VelPainter::drawLine(const VelPoint &from, const VelPoint &to)
{
    if (!isActive() || !m_pen.isValid())
        return;
    const VelRect clip = effectiveClip();
    const uint src = m_pen.premultiplied();
    // Bresenham: every pixel of the 1-pixel line exactly once, both ends included.
    int x0 = from.x() + m_origin.x(), y0 = from.y() + m_origin.y();
    const int x1 = to.x() + m_origin.x(), y1 = to.y() + m_origin.y();
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        if (clip.contains(x0, y0))
            blendPixel(m_image->scanLine(y0), x0, src);
        if (x0 == x1 && y0 == y1)
            break;
        const int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

void VelPainter::fillPath(const VelPainterPath &path, const VelColor &color)
{
    if (!isActive() || path.isEmpty() || !color.isValid())
        return;
    const VelRectF bounds = path.boundingRect().translated(m_origin.x(), m_origin.y());
    const VelRect clip = effectiveClip();
    const int left = std::max(clip.left(), int(std::floor(bounds.x())));
    const int top = std::max(clip.top(), int(std::floor(bounds.y())));
    const int right = std::min(clip.right() + 1, int(std::ceil(bounds.x() + bounds.width())));
    const int bottom = std::min(clip.bottom() + 1, int(std::ceil(bounds.y() + bounds.height())));
    if (right <= left || bottom <= top)
        return;
    VelImage mask(right - left, bottom - top, VelImage::Format_Alpha8);
    vel_rasterizePath(path, &mask, m_origin.x() - left, m_origin.y() - top);
    const VelPoint savedOrigin = m_origin;
    m_origin = VelPoint();
    drawCoverageMask(left, top, mask, color);
    m_origin = savedOrigin;
}

void VelPainter::drawCoverageMask(int x, int y, const VelImage &mask, const VelColor &color)
{
    if (!isActive() || mask.isNull() || !color.isValid())
        return;
    const VelRect placed(x + m_origin.x(), y + m_origin.y(), mask.width(), mask.height());
    const VelRect area = placed.intersected(effectiveClip());
    const uint src = color.premultiplied();
    const bool perChannel = mask.format() == VelImage::Format_ARGB32 ||
                            mask.format() == VelImage::Format_RGB32 ||
                            mask.format() == VelImage::Format_ARGB32_Premultiplied;
    for (int ty = area.top(); ty <= area.bottom(); ++ty) {
        const uchar *maskLine = mask.constScanLine(ty - placed.top());
        uchar *line = m_image->scanLine(ty);
        for (int tx = area.left(); tx <= area.right(); ++tx) {
            const int mx = tx - placed.left();
            if (!perChannel) {
                const uint coverage = maskCoverage(mask, maskLine, mx);
                if (coverage)
                    blendPixel(line, tx, scaleByCoverage(src, coverage));
                continue;
            }
            // Sub-pixel masks carry one coverage per colour channel: blend
            // each channel on its own with the matching coverage.
            const uint m = reinterpret_cast<const uint *>(maskLine)[mx];
            if (!(m & 0xffffff))
                continue;
            const uint r = scaleByCoverage(src, (m >> 16) & 0xff);
            const uint g = scaleByCoverage(src, (m >> 8) & 0xff);
            const uint b = scaleByCoverage(src, m & 0xff);
            const VelImage::Format f = m_image->format();
            uint dst = 0;
            if (f == VelImage::Format_RGB16)
                dst = velConvertRgb16To32(reinterpret_cast<ushort *>(line)[tx]);
            else if (f == VelImage::Format_ARGB32)
                dst = velPremultiply(reinterpret_cast<uint *>(line)[tx]);
            else
                dst = reinterpret_cast<uint *>(line)[tx];
            const uint red = sourceOver(r, dst), green = sourceOver(g, dst),
                       blue = sourceOver(b, dst);
            const uint mixed = (std::max({red >> 24, green >> 24, blue >> 24}) << 24) |
                               (red & 0xff0000) | (green & 0xff00) | (blue & 0xff);
            if (f == VelImage::Format_RGB16)
                reinterpret_cast<ushort *>(line)[tx] = velConvertRgb32To16(mixed);
            else if (f == VelImage::Format_ARGB32)
                reinterpret_cast<uint *>(line)[tx] = velUnpremultiply(mixed);
            else if (f == VelImage::Format_RGB32)
                reinterpret_cast<uint *>(line)[tx] = 0xff000000u | mixed;
            else
                reinterpret_cast<uint *>(line)[tx] = mixed;
        }
    }
}

double VelPainter::horizontalAdvance(const VelFont &font, const VelString &text)
{
    if (text.isEmpty())
        return 0;
    VelFontEngine *engine = VelFontDatabase::findFont(font.fontDef());
    if (!engine)
        return 0;
    int count = text.length();
    VelGlyphLayout layout(count);
    if (!engine->stringToCMap(text.constData(), text.length(), &layout, &count, 0))
        return 0;
    layout.numGlyphs = count;
    engine->doKerning(&layout, 0);
    VelFixed advance;
    for (int i = 0; i < layout.numGlyphs; ++i)
        advance += layout.advances_x[i];
    return advance.toReal();
}

void VelPainter::drawText(const VelPointF &position, const VelString &text)
{
    if (!isActive() || text.isEmpty() || !m_pen.isValid())
        return;
    VelFontEngine *engine = VelFontDatabase::findFont(m_font.fontDef());
    if (!engine)
        return;
    int count = text.length();
    VelGlyphLayout layout(count);
    if (!engine->stringToCMap(text.constData(), text.length(), &layout, &count, 0))
        return;
    layout.numGlyphs = count;
    engine->doKerning(&layout, 0);

    const VelFixed originX = VelFixed::fromReal(position.x() + m_origin.x());
    const int baseline = int(std::lround(position.y())) + m_origin.y();
    const VelPoint savedOrigin = m_origin;
    m_origin = VelPoint();
    VelFixed penX = originX;
    for (int i = 0; i < layout.numGlyphs; ++i) {
        const VelFixed x = penX + layout.offsets[i].x;
        const int y = baseline + layout.offsets[i].y.round().toInt();
        const VelFixed subPixel = engine->subPixelPositionForX(x);
        const int pixelX = (x - subPixel).floor().toInt();
        const glyph_t glyph = layout.glyphs[i];
        penX += layout.advances_x[i];
        VelPoint offset;
        if (const VelImage *mask = engine->lockedAlphaMapForGlyph(
                glyph, subPixel, VelFontEngine::Format_A8, VelTransform(), &offset)) {
            drawCoverageMask(pixelX + offset.x(), y + offset.y(), *mask, m_pen);
            engine->unlockAlphaMapForGlyph();
            continue;
        }
        // Engines that hand out no locked map still give a plain alpha map,
        // placed at the glyph's box.
        const VelImage mask = engine->alphaMapForGlyph(glyph, subPixel);
        if (mask.isNull())
            continue;
        const glyph_metrics_t box =
            engine->alphaMapBoundingBox(glyph, subPixel, VelTransform(), VelFontEngine::Format_A8);
        drawCoverageMask(pixelX + box.x.floor().toInt(), y + box.y.floor().toInt(), mask, m_pen);
    }
    m_origin = savedOrigin;
}
