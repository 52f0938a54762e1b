#ifndef VELCLIPBOARD_H
#define VELCLIPBOARD_H

#include "velobject.h"
#include "velstring.h"

#include <memory>

class VelMimeData;
class VelPlatformClipboard;

// The clipboard as applications see it, over the platform clipboard that the
// platform integration hands out (clipboard()).
//
// Ownership of mime data, for applications and platform clipboards alike:
// - setMimeData(data) takes ownership of data; it is freed when replaced or
//   when the clipboard goes. The platform clipboard only borrows it for the
//   duration of its own setMimeData call and copies what it keeps.
// - mimeData() returns an object owned by this clipboard; it stays valid until
//   the next mimeData() or setMimeData() for that mode. The platform clipboard
//   hands this clipboard a new object on every request, which this clipboard
//   then owns.
// The platform clipboard itself belongs to the integration, not to this
// object. Used on the GUI thread.
class VelClipboard : public VelObject
{
    VEL_OBJECT
public:
    enum Mode { Clipboard = 0, Selection = 1, FindBuffer = 2, LastMode = FindBuffer };

    explicit VelClipboard(VelPlatformClipboard *platform, VelObject *parent = nullptr);
    ~VelClipboard() override;

    // The application's clipboard, over the platform integration's
    // clipboard(); made on first use as a child of the GUI application and
    // deleted with it. Null without a GUI application. GUI thread only.
    static VelClipboard *instance();

    VelPlatformClipboard *platformClipboard() const { return m_platform; }

    bool supportsMode(Mode mode) const;
    bool ownsMode(Mode mode) const;

    VelString text(Mode mode = Clipboard) const;
    void setText(const VelString &text, Mode mode = Clipboard);
    const VelMimeData *mimeData(Mode mode = Clipboard) const;
    void setMimeData(VelMimeData *data, Mode mode = Clipboard);
    void clear(Mode mode = Clipboard);

    // Called by a platform clipboard when its data changed behind the
    // framework's back; every clipboard over that platform object signals.
    static void platformChanged(VelPlatformClipboard *platform, Mode mode);

    // signals
    void changed(int mode);
    void dataChanged();
    void selectionChanged();
    void findBufferChanged();

private:
    void emitChanged(Mode mode);
    static bool validMode(Mode mode) { return mode >= Clipboard && mode <= LastMode; }

    VelPlatformClipboard *const m_platform; // not owned
    // True while this clipboard hands data to the platform: the platform's own
    // change report is then folded into the one signal setMimeData sends.
    bool m_settingData = false;
    // Data given by the application, kept alive while the platform may refer to it.
    std::unique_ptr<VelMimeData> m_given[LastMode + 1];
    // The last answer of the platform, handed out by mimeData().
    mutable std::unique_ptr<VelMimeData> m_read[LastMode + 1];
};

#endif
