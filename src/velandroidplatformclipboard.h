#ifndef VELANDROIDPLATFORMCLIPBOARD_H
#define VELANDROIDPLATFORMCLIPBOARD_H

#include "velplatformclipboard.h"

// The host's main clipboard mode over the Android clipboard, text only. It
// keeps nothing: every read asks Java and hands the host a new object.
class VelAndroidPlatformClipboard : public VelPlatformClipboard
{
public:
    VelAndroidPlatformClipboard();

    VelMimeData *mimeData(VelClipboard::Mode mode = VelClipboard::Clipboard) override;
    void setMimeData(VelMimeData *data, VelClipboard::Mode mode = VelClipboard::Clipboard) override;
    bool supportsMode(VelClipboard::Mode mode) const override;
};

#endif
