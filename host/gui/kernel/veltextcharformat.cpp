#include "veltextcharformat.h"

VelTextCharFormat::VelTextCharFormat() = default;

VelTextCharFormat::~VelTextCharFormat() = default;

bool VelTextCharFormat::hasProperty(int propertyId) const
{
    return m_properties.find(propertyId) != m_properties.end();
}

VelVariant VelTextCharFormat::property(int propertyId) const
{
    const auto it = m_properties.find(propertyId);
    return it == m_properties.end() ? VelVariant() : it->second;
}

void VelTextCharFormat::setProperty(int propertyId, const VelVariant &value)
{
    // An invalid value removes the property, so an unset and a cleared property compare equal.
    if (!value.isValid()) {
        clearProperty(propertyId);
        return;
    }
    m_properties[propertyId] = value;
}

void VelTextCharFormat::clearProperty(int propertyId)
{
    m_properties.erase(propertyId);
}

void VelTextCharFormat::setUnderlineStyle(UnderlineStyle style)
{
    setProperty(TextUnderlineStyle, VelVariant(int(style)));
}

VelTextCharFormat::UnderlineStyle VelTextCharFormat::underlineStyle() const
{
    return UnderlineStyle(property(TextUnderlineStyle).toInt());
}

void VelTextCharFormat::setFontUnderline(bool underline)
{
    setUnderlineStyle(underline ? SingleUnderline : NoUnderline);
}

bool VelTextCharFormat::fontUnderline() const
{
    return underlineStyle() != NoUnderline;
}

bool operator==(const VelTextCharFormat &a, const VelTextCharFormat &b)
{
    return a.m_properties == b.m_properties;
}
