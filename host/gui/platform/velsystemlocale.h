#ifndef VELSYSTEMLOCALE_H
#define VELSYSTEMLOCALE_H

#include "velglobal.h"
#include "vellocale.h"
#include "velvariant.h"

// The backend the framework asks for the user's locale settings. Constructing
// one installs it as the process's system locale (the newest installed one
// answers); destroying it removes it again. Destroy a backend only when no
// other thread can still be querying it.
//
// The framework sends LocaleChanged when the locale may have changed; an
// invalid answer to any query means "use fallbackUiLocale()'s data".
//
// The virtual operations keep this order: backends built elsewhere override
// them by slot.
class VelSystemLocale
{
public:
    // Numbers are exchanged with backends.
    enum QueryType {
        LanguageId = 0,
        CountryId = 1,
        DecimalPoint = 2,
        GroupSeparator = 3,
        ZeroDigit = 4,
        NegativeSign = 5,
        DateFormatLong = 6,
        DateFormatShort = 7,
        TimeFormatLong = 8,
        TimeFormatShort = 9,
        DayNameLong = 10,
        DayNameShort = 11,
        MonthNameLong = 12,
        MonthNameShort = 13,
        DateToStringLong = 14,
        DateToStringShort = 15,
        TimeToStringLong = 16,
        TimeToStringShort = 17,
        DateTimeFormatLong = 18,
        DateTimeFormatShort = 19,
        DateTimeToStringLong = 20,
        DateTimeToStringShort = 21,
        MeasurementSystem = 22,
        PositiveSign = 23,
        AMText = 24,
        PMText = 25,
        FirstDayOfWeek = 26,
        Weekdays = 27,
        CurrencySymbol = 28,
        CurrencyToString = 29,
        UILanguages = 30,
        StringToStandardQuotation = 31,
        StringToAlternateQuotation = 32,
        ScriptId = 33,
        ListToSeparatedString = 34,
        LocaleChanged = 35,
        NativeLanguageName = 36,
        NativeCountryName = 37,
        StandaloneMonthNameLong = 38,
        StandaloneMonthNameShort = 39
    };

    VelSystemLocale();
    virtual ~VelSystemLocale();

    // Default: an invalid variant for every query.
    virtual VelVariant query(QueryType type, VelVariant in) const;
    // Default: the locale named by LC_ALL, LC_MESSAGES or LANG (the first one
    // set and not empty), without codeset or modifier; the C locale otherwise.
    virtual VelLocale fallbackUiLocale() const;

    // The framework's side; VelLocale::system() reaches the installed
    // backend through these. Before a newly installed backend answers its
    // first query it is sent LocaleChanged, so that it reads the user's
    // locale once it is fully constructed.
    //
    // The installed backend's answer; an invalid variant when there is none
    // or it did not answer.
    static VelVariant systemQuery(QueryType type, const VelVariant &in);
    // The installed backend's fallback locale; the C locale without a backend.
    static VelLocale systemFallbackUiLocale();
    // Tells the installed backend that the locale may have changed.
    static void notifyLocaleChanged();
    static bool hasInstalledBackend();

protected:
    // Removes the backend and waits for the calls other threads are making
    // into it. A backend whose answers use members of its own calls this
    // first thing in its destructor, while those members still exist; the
    // base destructor does it again, harmlessly.
    void uninstall();

private:
    VEL_DISABLE_COPY(VelSystemLocale)
};

#endif
