#ifndef VELMIMEDATA_H
#define VELMIMEDATA_H

#include "velbytearray.h"
#include "velobject.h"
#include "velstring.h"
#include "velvariant.h"

#include <vector>

// Data in several formats, as it travels through the clipboard. Text is kept
// as "text/plain" in UTF-8; an image is kept as a variant under the image
// format, so that it can hold the painting library's image value.
class VelMimeData : public VelObject
{
    VEL_OBJECT
public:
    static const char *const textFormat;  // "text/plain"
    static const char *const imageFormat; // "application/x-vel-image"

    explicit VelMimeData(VelObject *parent = nullptr);
    ~VelMimeData() override;

    bool hasText() const { return hasFormat(VelString(textFormat)); }
    VelString text() const;
    void setText(const VelString &text);

    bool hasImage() const { return hasFormat(VelString(imageFormat)); }
    VelVariant imageData() const { return m_image; }
    void setImageData(const VelVariant &image);

    VelStringList formats() const;
    bool hasFormat(const VelString &format) const;
    VelByteArray data(const VelString &format) const;
    void setData(const VelString &format, const VelByteArray &data);
    void removeFormat(const VelString &format);
    void clear();

    // Copies every format of another object; the clipboard keeps its own
    // copies so that callers keep ownership of what they pass in.
    void copyFrom(const VelMimeData &other);

private:
    struct Entry {
        VelString format;
        VelByteArray data;
    };
    std::vector<Entry>::iterator find(const VelString &format);
    std::vector<Entry>::const_iterator find(const VelString &format) const;

    std::vector<Entry> m_entries; // in the order formats were first set
    VelVariant m_image;
};

#endif
