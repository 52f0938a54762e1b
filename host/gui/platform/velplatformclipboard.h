#ifndef VELPLATFORMCLIPBOARD_H
#define VELPLATFORMCLIPBOARD_H

#include "velclipboard.h"
#include "velglobal.h"

#include <memory>

class VelMimeData;

// The platform side of the clipboard. Ownership contract (see VelClipboard):
// mimeData() returns a new object that the caller owns (or null);
// setMimeData() borrows the object for the call only and must copy whatever
// it keeps. The base class is an in-process clipboard for the main mode.
//
// The virtual operations keep this order: platform clipboards built elsewhere
// override them by slot.
class VelPlatformClipboard
{
public:
    VelPlatformClipboard();
    virtual ~VelPlatformClipboard();

    virtual VelMimeData *mimeData(VelClipboard::Mode mode = VelClipboard::Clipboard);
    virtual void setMimeData(VelMimeData *data, VelClipboard::Mode mode = VelClipboard::Clipboard);
    virtual bool supportsMode(VelClipboard::Mode mode) const;
    virtual bool ownsMode(VelClipboard::Mode mode) const;

    // Tells the framework's clipboards that the data of a mode changed.
    void emitChanged(VelClipboard::Mode mode);

private:
    VEL_DISABLE_COPY(VelPlatformClipboard)

    std::unique_ptr<VelMimeData> m_store; // the main mode's data, a private copy
};

#endif
