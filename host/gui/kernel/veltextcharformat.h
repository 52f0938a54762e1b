#ifndef VELTEXTCHARFORMAT_H
#define VELTEXTCHARFORMAT_H

#include "velmetatype.h"
#include "velvariant.h"

#include <map>

// Character formatting as a property map, the form input-method attributes carry it in.
class VelTextCharFormat
{
public:
    enum Property {
        FontFamily = 0x2000,
        FontPointSize = 0x2001,
        FontWeight = 0x2003,
        FontItalic = 0x2004,
        FontOverline = 0x2006,
        FontStrikeOut = 0x2007,
        FontFixedPitch = 0x2008,
        FontPixelSize = 0x2009,
        TextUnderlineColor = 0x2010,
        TextVerticalAlignment = 0x2021,
        TextOutline = 0x2022,
        TextUnderlineStyle = 0x2023,
        TextToolTip = 0x2024,
        ForegroundBrush = 0x821,
        BackgroundBrush = 0x820,
    };
    enum UnderlineStyle {
        NoUnderline = 0,
        SingleUnderline = 1,
        DashUnderline = 2,
        DotLine = 3,
        DashDotLine = 4,
        DashDotDotLine = 5,
        WaveUnderline = 6,
        SpellCheckUnderline = 7,
    };

    VelTextCharFormat();
    ~VelTextCharFormat();

    bool isEmpty() const { return m_properties.empty(); }
    bool hasProperty(int propertyId) const;
    VelVariant property(int propertyId) const;
    void setProperty(int propertyId, const VelVariant &value);
    void clearProperty(int propertyId);
    const std::map<int, VelVariant> &properties() const { return m_properties; }

    void setUnderlineStyle(UnderlineStyle style);
    UnderlineStyle underlineStyle() const;
    // The underline flag is the underline style: on means a single underline.
    void setFontUnderline(bool underline);
    bool fontUnderline() const;

    friend bool operator==(const VelTextCharFormat &a, const VelTextCharFormat &b);
    friend bool operator!=(const VelTextCharFormat &a, const VelTextCharFormat &b)
    {
        return !(a == b);
    }

private:
    std::map<int, VelVariant> m_properties;
};

VEL_DECLARE_METATYPE(VelTextCharFormat)

#endif
