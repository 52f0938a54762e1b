#ifndef VELICON_H
#define VELICON_H

#include "velpixmap.h"

#include <vector>

// A set of pictures of one icon at several sizes. pixmap() picks the best
// size, scales it to fit and, in disabled mode, greys it out.
class VelIcon
{
public:
    enum Mode { Normal = 0, Disabled = 1, Active = 2, Selected = 3 };
    enum State { On = 0, Off = 1 };

    VelIcon() = default;
    explicit VelIcon(const VelPixmap &pixmap);
    explicit VelIcon(const VelString &fileName);

    bool isNull() const { return m_entries.empty(); }
    void addPixmap(const VelPixmap &pixmap, Mode mode = Normal, State state = Off);
    void addImage(const VelImage &image, Mode mode = Normal, State state = Off)
    {
        addPixmap(VelPixmap::fromImage(image), mode, state);
    }
    void addFile(const VelString &fileName, Mode mode = Normal, State state = Off);
    std::vector<VelSize> availableSizes(Mode mode = Normal, State state = Off) const;

    // A picture of exactly size (aspect kept, centred, transparent margin).
    VelPixmap pixmap(const VelSize &size, Mode mode = Normal, State state = Off) const;
    VelPixmap pixmap(int extent, Mode mode = Normal, State state = Off) const
    {
        return pixmap(VelSize(extent, extent), mode, state);
    }

private:
    struct Entry {
        VelPixmap pixmap;
        Mode mode;
        State state;
    };
    const Entry *bestEntry(const VelSize &size, Mode mode, State state) const;
    std::vector<Entry> m_entries;
};

#endif
