#include "velicon.h"

#include <algorithm>

namespace
{

VelImage greyedOut(const VelImage &source)
{
    VelImage image = source.convertToFormat(VelImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        uint *line = reinterpret_cast<uint *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Lighter grey at half opacity: recognisable yet clearly inactive.
            const int gray = 128 + velGray(line[x]) / 2;
            line[x] = velRgba(gray, gray, gray, velAlpha(line[x]) / 2);
        }
    }
    return image;
}

long long sizeDistance(const VelSize &a, const VelSize &b)
{
    // Prefer pictures at least as large as asked (scaling down looks better).
    const long long area = (long long)a.width() * a.height();
    const long long wanted = (long long)b.width() * b.height();
    return area >= wanted ? area - wanted : (wanted - area) * 4;
}

} // namespace

VelIcon::VelIcon(const VelPixmap &pixmap)
{
    addPixmap(pixmap);
}

VelIcon::VelIcon(const VelString &fileName)
{
    addFile(fileName);
}

void VelIcon::addPixmap(const VelPixmap &pixmap, Mode mode, State state)
{
    if (pixmap.isNull())
        return;
    m_entries.push_back({pixmap, mode, state});
}

void VelIcon::addFile(const VelString &fileName, Mode mode, State state)
{
    addPixmap(VelPixmap(fileName), mode, state);
}

std::vector<VelSize> VelIcon::availableSizes(Mode mode, State state) const
{
    std::vector<VelSize> sizes;
    for (const Entry &e : m_entries)
        if (e.mode == mode && e.state == state)
            sizes.push_back(e.pixmap.size());
    return sizes;
}

const VelIcon::Entry *VelIcon::bestEntry(const VelSize &size, Mode mode, State state) const
{
    const Entry *best = nullptr;
    long long bestScore = 0;
    // Exact mode and state first, then the other state, then Normal mode.
    for (int pass = 0; pass < 4 && !best; ++pass) {
        const Mode m = pass < 2 ? mode : Normal;
        const State s = pass % 2 == 0 ? state : (state == On ? Off : On);
        for (const Entry &e : m_entries) {
            if (e.mode != m || e.state != s)
                continue;
            const long long score = sizeDistance(e.pixmap.size(), size);
            if (!best || score < bestScore) {
                best = &e;
                bestScore = score;
            }
        }
    }
    if (!best && !m_entries.empty())
        best = &m_entries.front();
    return best;
}

VelPixmap VelIcon::pixmap(const VelSize &size, Mode mode, State state) const
{
    if (isNull() || size.width() <= 0 || size.height() <= 0)
        return VelPixmap();
    const Entry *entry = bestEntry(size, mode, state);
    const VelImage source = entry->pixmap.toImage();
    // Keep the aspect ratio inside the requested box.
    int w = size.width(), h = size.height();
    if ((long long)source.width() * h > (long long)source.height() * w)
        h = std::max(1, int((long long)source.height() * w / source.width()));
    else
        w = std::max(1, int((long long)source.width() * h / source.height()));
    VelImage scaled = source.scaled(w, h).convertToFormat(VelImage::Format_ARGB32);
    if (mode == Disabled && entry->mode != Disabled)
        scaled = greyedOut(scaled);
    VelImage result(size, VelImage::Format_ARGB32);
    const int ox = (size.width() - w) / 2, oy = (size.height() - h) / 2;
    for (int y = 0; y < h; ++y) {
        const uint *s = reinterpret_cast<const uint *>(scaled.constScanLine(y));
        uint *t = reinterpret_cast<uint *>(result.scanLine(y + oy));
        for (int x = 0; x < w; ++x)
            t[x + ox] = s[x];
    }
    return VelPixmap::fromImage(result);
}
