#ifndef VELFONT_H
#define VELFONT_H

#include "velfontdef.h"

// A font request as applications make it: a value type, resolved to an
// engine through the font registry when text is drawn.
class VelFont
{
public:
    using StyleHint = VelFontDef::StyleHint;
    using Weight = VelFontDef::Weight;
    using Style = VelFontDef::Style;
    using HintingPreference = VelFontDef::HintingPreference;

    VelFont() = default;
    VelFont(const VelString &family, int pointSize = -1, int weight = -1, bool italic = false);

    VelString family() const { return m_def.family; }
    void setFamily(const VelString &family) { m_def.family = family; }
    VelString styleName() const { return m_def.styleName; }
    void setStyleName(const VelString &name) { m_def.styleName = name; }
    // The size the font was set in; -1 for the other unit.
    int pointSize() const { return m_def.pointSize < 0 ? -1 : int(m_def.pointSize + 0.5); }
    double pointSizeF() const { return m_def.pointSize; }
    void setPointSize(int size) { setPointSizeF(size); }
    void setPointSizeF(double size);
    int pixelSize() const { return m_def.pixelSize < 0 ? -1 : int(m_def.pixelSize + 0.5); }
    void setPixelSize(int size);
    int weight() const { return m_def.weight; }
    void setWeight(int weight);
    bool bold() const { return m_def.weight > VelFontDef::Medium; }
    void setBold(bool bold) { setWeight(bold ? VelFontDef::Bold : VelFontDef::Normal); }
    Style style() const { return Style(m_def.style); }
    void setStyle(Style style) { m_def.style = style; }
    bool italic() const { return m_def.style != VelFontDef::StyleNormal; }
    void setItalic(bool italic)
    {
        m_def.style = italic ? VelFontDef::StyleItalic : VelFontDef::StyleNormal;
    }
    int stretch() const { return m_def.stretch; }
    void setStretch(int stretch);
    StyleHint styleHint() const { return StyleHint(m_def.styleHint); }
    uint styleStrategy() const { return m_def.styleStrategy; }
    void setStyleHint(StyleHint hint, uint strategy = VelFontDef::PreferDefault);
    void setStyleStrategy(uint strategy) { m_def.styleStrategy = strategy; }
    HintingPreference hintingPreference() const
    {
        return HintingPreference(m_def.hintingPreference);
    }
    void setHintingPreference(HintingPreference p) { m_def.hintingPreference = p; }
    bool fixedPitch() const { return m_def.fixedPitch; }
    void setFixedPitch(bool fixed);

    // The request with the pixel size filled in for the given resolution.
    VelFontDef fontDef(int dpi = 96) const;
    const VelFontDef &rawDef() const { return m_def; }

    bool operator==(const VelFont &o) const { return m_def == o.m_def; }
    bool operator!=(const VelFont &o) const { return !(*this == o); }

    static constexpr double defaultPointSize = 12;

private:
    VelFontDef m_def;
};

uint velHash(const VelFont &font, uint seed = 0);

#endif
