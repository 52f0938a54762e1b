#include "velsupportedwritingsystems.h"

namespace
{

using namespace VelWritingSystem;

// The OS/2 Unicode-range bit that, set, claims each writing system; -1 where
// only code pages tell (CJK, Vietnamese, Symbol).
constexpr int unicodeRangeBitFor[WritingSystemsCount] = {
    -1, // Any
    0,  // Latin: Basic Latin
    7,  // Greek
    9,  // Cyrillic
    10, // Armenian
    11, // Hebrew
    13, // Arabic
    71, // Syriac
    72, // Thaana
    15, // Devanagari
    16, // Bengali
    17, // Gurmukhi
    18, // Gujarati
    19, // Oriya
    20, // Tamil
    21, // Telugu
    22, // Kannada
    23, // Malayalam
    73, // Sinhala
    24, // Thai
    25, // Lao
    70, // Tibetan
    74, // Myanmar
    26, // Georgian
    80, // Khmer
    -1, // SimplifiedChinese
    -1, // TraditionalChinese
    -1, // Japanese
    -1, // Korean
    -1, // Vietnamese
    -1, // Symbol
    78, // Ogham
    79, // Runic
    14, // Nko
};

bool bitSet(const veluint32 *words, int bit)
{
    return (words[bit / 32] >> (bit % 32)) & 1u;
}

enum CodePageBit {
    CpVietnamese = 8,
    CpJapanese = 17,
    CpSimplifiedChinese = 18,
    CpKoreanWansung = 19,
    CpTraditionalChinese = 20,
    CpKoreanJohab = 21,
    CpSymbol = 31
};

enum UnicodeRangeBit {
    UrHiraganaBit = 49,
    UrKatakanaBit = 50,
    UrHangulSyllables = 56,
    UrCjkIdeographs = 59
};

} // namespace

void VelSupportedWritingSystems::setSupported(int writingSystem, bool supported)
{
    if (writingSystem < 0 || writingSystem >= WritingSystemsCount)
        return;
    m_bits.set(size_t(writingSystem), supported);
}

bool VelSupportedWritingSystems::supported(int writingSystem) const
{
    if (writingSystem < 0 || writingSystem >= WritingSystemsCount)
        return false;
    return m_bits.test(size_t(writingSystem));
}

VelSupportedWritingSystems writingSystemsFromTrueTypeBits(const veluint32 unicodeRange[4],
                                                          const veluint32 codePageRange[2])
{
    VelSupportedWritingSystems ws;
    for (int i = 0; i < WritingSystemsCount; ++i) {
        const int bit = unicodeRangeBitFor[i];
        if (bit >= 0 && bitSet(unicodeRange, bit))
            ws.setSupported(i);
    }
    // Latin-1 Supplement alone still serves Latin text.
    if (bitSet(unicodeRange, 1))
        ws.setSupported(Latin);

    const veluint32 cp = codePageRange[0];
    if (cp & (1u << CpVietnamese))
        ws.setSupported(Vietnamese);
    if (cp & (1u << CpSymbol))
        ws.setSupported(Symbol);
    if (cp & (1u << CpJapanese))
        ws.setSupported(Japanese);
    if (cp & (1u << CpSimplifiedChinese))
        ws.setSupported(SimplifiedChinese);
    if (cp & (1u << CpTraditionalChinese))
        ws.setSupported(TraditionalChinese);
    if (cp & ((1u << CpKoreanWansung) | (1u << CpKoreanJohab)))
        ws.setSupported(Korean);

    // Fonts that leave the CJK code pages empty still announce their scripts
    // through the Unicode ranges: kana means Japanese, syllables mean Korean.
    const bool cjkCodePages =
        cp & ((1u << CpJapanese) | (1u << CpSimplifiedChinese) | (1u << CpTraditionalChinese) |
              (1u << CpKoreanWansung) | (1u << CpKoreanJohab));
    if (!cjkCodePages) {
        if (bitSet(unicodeRange, UrHiraganaBit) || bitSet(unicodeRange, UrKatakanaBit))
            ws.setSupported(Japanese);
        if (bitSet(unicodeRange, UrHangulSyllables))
            ws.setSupported(Korean);
        if (bitSet(unicodeRange, UrCjkIdeographs) && !ws.supported(Japanese) &&
            !ws.supported(Korean)) {
            ws.setSupported(SimplifiedChinese);
            ws.setSupported(TraditionalChinese);
        }
    }
    return ws;
}
