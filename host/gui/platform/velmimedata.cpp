#include "velmimedata.h"

#include <algorithm>

const char *const VelMimeData::textFormat = "text/plain";
const char *const VelMimeData::imageFormat = "application/x-vel-image";

VEL_META_BEGIN(VelMimeData, VelObject)
VEL_META_END

VelMimeData::VelMimeData(VelObject *parent) : VelObject(parent) {}

VelMimeData::~VelMimeData() = default;

std::vector<VelMimeData::Entry>::iterator VelMimeData::find(const VelString &format)
{
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [&](const Entry &e) { return e.format == format; });
}

std::vector<VelMimeData::Entry>::const_iterator VelMimeData::find(const VelString &format) const
{
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [&](const Entry &e) { return e.format == format; });
}

VelString VelMimeData::text() const
{
    return VelString::fromUtf8(data(VelString(textFormat)));
}

void VelMimeData::setText(const VelString &text)
{
    setData(VelString(textFormat), text.toUtf8());
}

void VelMimeData::setImageData(const VelVariant &image)
{
    if (!image.isValid()) {
        removeFormat(VelString(imageFormat));
        return;
    }
    m_image = image;
    // The image travels as a variant; the entry only records the format.
    setData(VelString(imageFormat), VelByteArray());
}

VelStringList VelMimeData::formats() const
{
    VelStringList result;
    for (const Entry &e : m_entries)
        result.append(e.format);
    return result;
}

bool VelMimeData::hasFormat(const VelString &format) const
{
    return find(format) != m_entries.end();
}

VelByteArray VelMimeData::data(const VelString &format) const
{
    const auto it = find(format);
    return it == m_entries.end() ? VelByteArray() : it->data;
}

void VelMimeData::setData(const VelString &format, const VelByteArray &data)
{
    const auto it = find(format);
    if (it != m_entries.end())
        it->data = data;
    else
        m_entries.push_back(Entry{format, data});
}

void VelMimeData::removeFormat(const VelString &format)
{
    const auto it = find(format);
    if (it != m_entries.end())
        m_entries.erase(it);
    if (format == imageFormat)
        m_image = VelVariant();
}

void VelMimeData::clear()
{
    m_entries.clear();
    m_image = VelVariant();
}

void VelMimeData::copyFrom(const VelMimeData &other)
{
    if (&other == this)
        return;
    m_entries = other.m_entries;
    m_image = other.m_image;
}
