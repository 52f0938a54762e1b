#include "velsystemlocale.h"

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace
{

struct Registry {
    // Guards the members; taken alone, never while a backend is called.
    std::mutex mutex;
    std::condition_variable idle;                             // a backend's last running call ended
    std::vector<VelSystemLocale *> installed;                 // the newest answers
    std::unordered_map<const VelSystemLocale *, int> running; // calls in progress
    std::unordered_set<const VelSystemLocale *> told;         // have had LocaleChanged
};

// Never destroyed: backends owned by static objects may go after it would.
Registry &registry()
{
    static Registry *r = new Registry;
    return *r;
}

// Calls into backends the current thread is making, so that a backend that
// destroys itself (or another) from inside a call does not wait for itself.
thread_local int t_callsInProgress = 0;

VelVariant queryHook(int type, const VelVariant &in)
{
    return VelSystemLocale::systemQuery(VelSystemLocale::QueryType(type), in);
}

VelLocale fallbackHook()
{
    return VelSystemLocale::systemFallbackUiLocale();
}

// The newest backend, marked busy until the guard goes.
class BackendCall
{
public:
    BackendCall()
    {
        Registry &r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        if (r.installed.empty())
            return;
        m_backend = r.installed.back();
        ++r.running[m_backend];
        m_mustTell = r.told.insert(m_backend).second;
        ++t_callsInProgress;
    }
    ~BackendCall()
    {
        if (!m_backend)
            return;
        --t_callsInProgress;
        Registry &r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        if (--r.running[m_backend] == 0) {
            r.running.erase(m_backend);
            r.idle.notify_all();
        }
    }
    BackendCall(const BackendCall &) = delete;
    BackendCall &operator=(const BackendCall &) = delete;

    VelSystemLocale *backend() const { return m_backend; }
    // First call since installation: the backend has not read the locale yet.
    bool mustTell() const { return m_mustTell; }

private:
    VelSystemLocale *m_backend = nullptr;
    bool m_mustTell = false;
};

void tellIfNew(const BackendCall &call)
{
    if (call.backend() && call.mustTell())
        call.backend()->query(VelSystemLocale::LocaleChanged, VelVariant());
}

VelString environmentLocaleName()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = std::getenv(variable);
        if (value && *value)
            return VelString::fromLocal8Bit(value);
    }
    return VelString();
}

} // namespace

VelSystemLocale::VelSystemLocale()
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.installed.push_back(this);
    VelLocale::setSystemLocaleHooks(&queryHook, &fallbackHook);
}

VelSystemLocale::~VelSystemLocale()
{
    uninstall();
}

void VelSystemLocale::uninstall()
{
    Registry &r = registry();
    std::unique_lock<std::mutex> lock(r.mutex);
    for (auto it = r.installed.begin(); it != r.installed.end(); ++it) {
        if (*it == this) {
            r.installed.erase(it);
            break;
        }
    }
    r.told.erase(this);
    if (r.installed.empty())
        VelLocale::setSystemLocaleHooks(nullptr, nullptr);
    // Calls other threads started before the removal finish first.
    if (t_callsInProgress == 0)
        r.idle.wait(lock, [&]() { return r.running.count(this) == 0; });
}

VelVariant VelSystemLocale::query(QueryType, VelVariant) const
{
    return VelVariant();
}

VelLocale VelSystemLocale::fallbackUiLocale() const
{
    return VelLocale(environmentLocaleName());
}

VelVariant VelSystemLocale::systemQuery(QueryType type, const VelVariant &in)
{
    BackendCall call;
    if (!call.backend())
        return VelVariant();
    tellIfNew(call);
    if (type == LocaleChanged && call.mustTell())
        return VelVariant(); // just told
    return call.backend()->query(type, in);
}

VelLocale VelSystemLocale::systemFallbackUiLocale()
{
    BackendCall call;
    if (!call.backend())
        return VelLocale::c();
    tellIfNew(call);
    return call.backend()->fallbackUiLocale();
}

void VelSystemLocale::notifyLocaleChanged()
{
    systemQuery(LocaleChanged, VelVariant());
}

bool VelSystemLocale::hasInstalledBackend()
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return !r.installed.empty();
}
