#ifndef VELANDROIDSYSTEMLOCALE_H
#define VELANDROIDSYSTEMLOCALE_H

#include "velreadwritelock.h"
#include "velsystemlocale.h"

// The user's locale on Android: the language and country of the activity's
// configuration, read when the host says the locale may have changed, and
// every answer taken from that locale's data.
//
// Queries may come from any thread. m_lock (taken alone) guards m_locale
// only: a refresh asks Java and builds the new locale without it and takes
// the write lock just to swap the value, so a query made meanwhile answers
// from the previous locale instead of waiting on Java. When a swap changes a
// locale read before, the application is sent a locale-change event.
class VelAndroidSystemLocale : public VelSystemLocale
{
public:
    VelAndroidSystemLocale();
    ~VelAndroidSystemLocale() override;

    VelVariant query(QueryType type, VelVariant in) const override;
    VelLocale fallbackUiLocale() const override;

    // The locale name made of Java's language and country ("de", "CH" ->
    // "de_CH"), with the codes Java still reports for Hebrew, Indonesian and
    // Yiddish ("iw", "in", "ji") turned into the current ones.
    static VelString localeName(const VelString &language, const VelString &country);

    // Test seam: called by a refresh after Java answered and before the new
    // locale is swapped in. Null (the default) calls nothing.
    using RefreshHook = void (*)();
    static void setRefreshHookForTesting(RefreshHook hook);

private:
    void refresh() const;
    VelVariant answer(const VelLocale &locale, QueryType type, const VelVariant &in) const;

    mutable VelLocale m_locale;  // guarded by m_lock
    mutable bool m_read = false; // guarded by m_lock: m_locale came from Java
    mutable VelReadWriteLock m_lock;
};

#endif
