#ifndef VELSUPPORTEDWRITINGSYSTEMS_H
#define VELSUPPORTEDWRITINGSYSTEMS_H

#include "velglobal.h"

#include <bitset>

namespace VelWritingSystem
{
enum WritingSystem {
    Any = 0,
    Latin,
    Greek,
    Cyrillic,
    Armenian,
    Hebrew,
    Arabic,
    Syriac,
    Thaana,
    Devanagari,
    Bengali,
    Gurmukhi,
    Gujarati,
    Oriya,
    Tamil,
    Telugu,
    Kannada,
    Malayalam,
    Sinhala,
    Thai,
    Lao,
    Tibetan,
    Myanmar,
    Georgian,
    Khmer,
    SimplifiedChinese,
    TraditionalChinese,
    Japanese,
    Korean,
    Vietnamese,
    Symbol,
    Other = Symbol,
    Ogham,
    Runic,
    Nko,
    WritingSystemsCount
};
} // namespace VelWritingSystem

// The set of writing systems a font face covers.
class VelSupportedWritingSystems
{
public:
    VelSupportedWritingSystems() = default;

    void setSupported(int writingSystem, bool supported = true);
    bool supported(int writingSystem) const;
    bool isEmpty() const { return m_bits.none(); }
    int count() const { return int(m_bits.count()); }

    bool operator==(const VelSupportedWritingSystems &o) const { return m_bits == o.m_bits; }
    bool operator!=(const VelSupportedWritingSystems &o) const { return m_bits != o.m_bits; }

private:
    std::bitset<VelWritingSystem::WritingSystemsCount> m_bits;
};

// The writing systems an OpenType OS/2 table's Unicode-range and code-page
// bits claim.
VelSupportedWritingSystems writingSystemsFromTrueTypeBits(const veluint32 unicodeRange[4],
                                                          const veluint32 codePageRange[2]);

#endif
