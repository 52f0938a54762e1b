#include "velx11clipboard.h"

#include "velx11window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

struct VelX11Clipboard::Atoms {
    Atom clipboard;
    Atom targets;
    Atom utf8;
    Atom text;
    Atom incr;
    Atom property; // where holders put what we asked for
};

// The one conversion the thread may have in flight for a fetch().
struct VelX11Clipboard::Conversion {
    std::uint64_t serial = 0; // 0: none in flight
    Atom target = None;
    bool incremental = false;
    std::string data;
    std::chrono::steady_clock::time_point deadline;
};

namespace
{

using Clock = std::chrono::steady_clock;

// A holder that never finishes must not keep the thread's one conversion
// busy for ever; callers have given up long before this.
constexpr std::chrono::seconds conversionLimit{10};

Display *dpy(void *display)
{
    return static_cast<Display *>(display);
}

// Latin-1 is what the STRING target carries; characters outside it become
// '?', as other programs do.
std::string utf8ToLatin1(const std::string &utf8)
{
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        int length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xe ? 3 : 4;
        if (i + static_cast<size_t>(length) > utf8.size())
            length = int(utf8.size() - i);
        unsigned long code = c;
        if (length == 2)
            code = ((c & 0x1fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3fu);
        out.push_back(code < 0x100 && length <= 2 ? char(code) : '?');
        i += static_cast<size_t>(length);
    }
    return out;
}

std::string latin1ToUtf8(const std::string &latin1)
{
    std::string out;
    for (const char ch : latin1) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(char(c));
        } else {
            out.push_back(char(0xc0 | (c >> 6)));
            out.push_back(char(0x80 | (c & 0x3f)));
        }
    }
    return out;
}

// The bytes of a property, read in pieces (a holder's text may be larger
// than one reply), then deleted: for an incremental transfer the deletion
// asks the holder for the next piece.
bool takeProperty(Display *display, Window window, Atom property, Atom *type, std::string *bytes)
{
    bytes->clear();
    long offset = 0;
    *type = None;
    for (;;) {
        Atom actualType = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(display, window, property, offset, 1 << 20, False, AnyPropertyType,
                               &actualType, &format, &count, &after, &data) != Success)
            return false;
        *type = actualType;
        const size_t unit = format == 32 ? sizeof(long) : size_t(format / 8);
        if (data && count > 0)
            bytes->append(reinterpret_cast<const char *>(data), count * unit);
        if (data)
            XFree(data);
        if (actualType == None || after == 0)
            break;
        // Offsets count 32-bit units of the property as the server keeps it.
        offset += long(count * size_t(format) / 32);
    }
    XDeleteProperty(display, window, property);
    return true;
}

} // namespace

VelX11Clipboard::~VelX11Clipboard()
{
    stop();
}

bool VelX11Clipboard::start(const char *displayName, std::string *error)
{
    stop();
    VelX11Window::prepareThreadedProcess();
    // A requestor that went away makes our reply fail with BadWindow; that
    // must not end the launcher.
    VelX11Window::installErrorHandler();
    Display *display = XOpenDisplay(displayName);
    if (!display) {
        if (error)
            *error = std::string("the clipboard cannot open X display ") +
                     (displayName ? displayName : "(DISPLAY unset)");
        return false;
    }
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0) {
        XCloseDisplay(display);
        if (error)
            *error = "the clipboard cannot create its wake-up descriptor";
        return false;
    }
    m_display = display;
    // Never mapped: it only owns the selection and receives its transfers.
    m_window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display, m_window, PropertyChangeMask);
    m_atoms = new Atoms{XInternAtom(display, m_selection.c_str(), False),
                        XInternAtom(display, "TARGETS", False),
                        XInternAtom(display, "UTF8_STRING", False),
                        XInternAtom(display, "TEXT", False),
                        XInternAtom(display, "INCR", False),
                        XInternAtom(display, "VEL_CLIPBOARD_TRANSFER", False)};
    XFlush(display);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = false;
    }
    m_thread = std::thread([this] { run(); });
    return true;
}

void VelX11Clipboard::stop()
{
    if (m_thread.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        wakeThread();
        m_thread.join();
    }
    if (m_display) {
        XDestroyWindow(dpy(m_display), m_window);
        XCloseDisplay(dpy(m_display));
        m_display = nullptr;
        m_window = 0;
    }
    delete m_atoms;
    m_atoms = nullptr;
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
        m_wakeFd = -1;
    }
    m_owned = false;
}

void VelX11Clipboard::publish(const std::string &utf8)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_publishPending = true;
        m_publishText = utf8;
    }
    wakeThread();
}

VelX11Clipboard::Fetch VelX11Clipboard::fetch(std::string *utf8, int timeoutMs)
{
    if (!running())
        return Fetch::Failed;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_fetchSlotFree.wait_until(lock, deadline, [this] { return !m_fetchInFlight; }))
        return Fetch::Failed;
    m_fetchInFlight = true;
    const Fetch result = fetchInSlot(&lock, deadline, utf8);
    m_fetchInFlight = false;
    lock.unlock();
    m_fetchSlotFree.notify_one();
    return result;
}

VelX11Clipboard::Fetch VelX11Clipboard::fetchInSlot(std::unique_lock<std::mutex> *lock,
                                                    Clock::time_point deadline, std::string *utf8)
{
    const std::uint64_t serial = ++m_fetchWanted;
    lock->unlock();
    wakeThread();
    lock->lock();
    if (!m_answered.wait_until(*lock, deadline, [&] { return m_fetchDone >= serial; }))
        return Fetch::Failed;
    if (m_fetchDone != serial)
        return Fetch::Failed;
    if (m_fetchResult == Fetch::Text || m_fetchResult == Fetch::OwnedHere)
        *utf8 = m_fetchText;
    return m_fetchResult;
}

void VelX11Clipboard::wakeThread()
{
    if (m_wakeFd >= 0)
        ::eventfd_write(m_wakeFd, 1);
}

void VelX11Clipboard::run()
{
    Display *display = dpy(m_display);
    Conversion conversion;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stopping)
                break;
        }
        takeRequests(&conversion);
        handleEvents(&conversion);
        if (conversion.serial != 0 && Clock::now() >= conversion.deadline)
            finishFetch(&conversion, Fetch::Failed, std::string());
        pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        // Events already read into Xlib's queue would not wake poll.
        const int timeout = XPending(display) > 0 ? 0 : msUntil(conversion);
        if (::poll(fds, 2, timeout) < 0 && errno != EINTR)
            break;
        eventfd_t drained;
        ::eventfd_read(m_wakeFd, &drained);
    }
    if (conversion.serial != 0)
        finishFetch(&conversion, Fetch::Failed, std::string());
}

int VelX11Clipboard::msUntil(const Conversion &conversion) const
{
    if (conversion.serial == 0)
        return -1;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(conversion.deadline - Clock::now())
            .count();
    return left <= 0 ? 0 : int(left + 1);
}

void VelX11Clipboard::takeRequests(Conversion *conversion)
{
    bool publishNow = false;
    std::string text;
    std::uint64_t wanted = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_publishPending) {
            publishNow = true;
            text.swap(m_publishText);
            m_publishPending = false;
        }
        wanted = m_fetchWanted;
    }
    Display *display = dpy(m_display);
    if (publishNow) {
        m_offered = std::move(text);
        XSetSelectionOwner(display, m_atoms->clipboard, m_window, CurrentTime);
        m_owned = XGetSelectionOwner(display, m_atoms->clipboard) == m_window;
        if (!m_owned)
            std::fprintf(stderr, "vel-android-run: the desktop clipboard did not take the text\n");
    }
    // A newer fetch replaces one its caller gave up on.
    if (wanted > conversion->serial && wanted > m_fetchDone)
        beginFetch(conversion, wanted);
    XFlush(display);
}

void VelX11Clipboard::beginFetch(Conversion *conversion, std::uint64_t serial)
{
    Display *display = dpy(m_display);
    *conversion = Conversion();
    conversion->serial = serial;
    const Window owner = XGetSelectionOwner(display, m_atoms->clipboard);
    if (owner == m_window && m_owned) {
        finishFetch(conversion, Fetch::OwnedHere, m_offered);
        return;
    }
    if (owner == None) {
        finishFetch(conversion, Fetch::NoText, std::string());
        return;
    }
    conversion->target = m_atoms->utf8;
    conversion->deadline = Clock::now() + conversionLimit;
    XDeleteProperty(display, m_window, m_atoms->property);
    XConvertSelection(display, m_atoms->clipboard, conversion->target, m_atoms->property, m_window,
                      CurrentTime);
}

void VelX11Clipboard::finishFetch(Conversion *conversion, Fetch result, std::string text)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_fetchDone = conversion->serial;
        m_fetchResult = result;
        m_fetchText = std::move(text);
    }
    m_answered.notify_all();
    *conversion = Conversion();
}

namespace
{

// The answer to a request, as a refusal until a property is named.
XSelectionEvent replyTo(Display *display, const XSelectionRequestEvent &request)
{
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.property = None;
    reply.time = request.time;
    return reply;
}

void send(Display *display, XSelectionEvent reply)
{
    XSendEvent(display, reply.requestor, False, NoEventMask, reinterpret_cast<XEvent *>(&reply));
}

} // namespace

void VelX11Clipboard::handleEvents(Conversion *conversion)
{
    Display *display = dpy(m_display);
    const Atoms &a = *m_atoms;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case SelectionClear:
            if (event.xselectionclear.selection == a.clipboard)
                m_owned = false;
            break;
        case SelectionRequest: {
            const XSelectionRequestEvent &request = event.xselectionrequest;
            // Obsolete requestors name no property: the target is the one.
            const Atom property = request.property != None ? request.property : request.target;
            // One request carries at most this many bytes; larger text would
            // need an incremental transfer, which no caller has needed.
            const long maxBytes =
                (XExtendedMaxRequestSize(display) ? XExtendedMaxRequestSize(display)
                                                  : XMaxRequestSize(display)) *
                    4 -
                256;
            XSelectionEvent reply = replyTo(display, request);
            if (request.selection != a.clipboard || !m_owned) {
                send(display, reply);
                break;
            }
            reply.property = property;
            if (request.target == a.targets) {
                const Atom offered[] = {a.targets, a.utf8, a.text, XA_STRING};
                XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char *>(offered), 4);
            } else if ((request.target == a.utf8 || request.target == a.text) &&
                       long(m_offered.size()) <= maxBytes) {
                XChangeProperty(display, request.requestor, property, a.utf8, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char *>(m_offered.data()),
                                int(m_offered.size()));
            } else if (request.target == XA_STRING && long(m_offered.size()) <= maxBytes) {
                const std::string latin1 = utf8ToLatin1(m_offered);
                XChangeProperty(display, request.requestor, property, XA_STRING, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char *>(latin1.data()),
                                int(latin1.size()));
            } else {
                reply.property = None;
            }
            send(display, reply);
            break;
        }
        case SelectionNotify: {
            const XSelectionEvent &notify = event.xselection;
            if (conversion->serial == 0 || notify.requestor != m_window ||
                notify.selection != a.clipboard)
                break;
            if (notify.property == None) {
                // Holders that predate UTF8_STRING still offer Latin-1.
                if (conversion->target == a.utf8) {
                    conversion->target = XA_STRING;
                    XConvertSelection(display, a.clipboard, XA_STRING, a.property, m_window,
                                      CurrentTime);
                } else {
                    finishFetch(conversion, Fetch::NoText, std::string());
                }
                break;
            }
            Atom type = None;
            std::string bytes;
            if (!takeProperty(display, m_window, a.property, &type, &bytes)) {
                finishFetch(conversion, Fetch::Failed, std::string());
            } else if (type == a.incr) {
                // The property's deletion (done) asks for the first piece.
                conversion->incremental = true;
                conversion->data.clear();
            } else {
                finishFetch(conversion, Fetch::Text,
                            type == XA_STRING ? latin1ToUtf8(bytes) : bytes);
            }
            break;
        }
        case PropertyNotify: {
            const XPropertyEvent &change = event.xproperty;
            if (!conversion->incremental || change.window != m_window ||
                change.atom != a.property || change.state != PropertyNewValue)
                break;
            Atom type = None;
            std::string piece;
            if (!takeProperty(display, m_window, a.property, &type, &piece)) {
                finishFetch(conversion, Fetch::Failed, std::string());
            } else if (piece.empty()) {
                // An empty piece ends the transfer.
                std::string text = std::move(conversion->data);
                const bool latin1 = conversion->target == XA_STRING;
                finishFetch(conversion, Fetch::Text, latin1 ? latin1ToUtf8(text) : std::move(text));
            } else {
                conversion->data += piece;
            }
            break;
        }
        default:
            break;
        }
    }
}
