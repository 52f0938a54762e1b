#ifndef VELLOCALE_H
#define VELLOCALE_H

#include "veldatetimenamespace.h"
#include "vellist.h"
#include "velmetatype.h"
#include "velstring.h"

class VelDate;
class VelTime;
class VelDateTime;
class VelVariant;

// Language and country conventions, with every answer taken from ICU's data.
//
// Names are "language[_Script][_COUNTRY][.codeset][@modifier]" ('-' also
// separates); codeset and modifier are ignored. Empty parts are allowed:
// "de" picks the language's main country (de_DE), "_CH" the country's main
// language (de_CH), and "", "C", "POSIX" or an unknown language give the C
// locale. Date and time formats use the host's pattern letters: d dd ddd dddd,
// M MM MMM MMMM, yy yyyy, h hh (12-hour when AP/ap is present) H HH, m mm,
// s ss, z zzz, AP ap, t (time zone), text in single quotes.
class VelLocale
{
public:
    enum FormatType { LongFormat = 0, ShortFormat = 1, NarrowFormat = 2 };
    enum MeasurementSystem { MetricSystem = 0, ImperialUSSystem = 1, ImperialUKSystem = 2 };
    enum CurrencySymbolFormat { CurrencyIsoCode = 0, CurrencySymbol = 1, CurrencyDisplayName = 2 };
    enum QuotationStyle { StandardQuotation = 0, AlternateQuotation = 1 };

    // The default locale (see setDefault); the C locale until one is set.
    VelLocale();
    explicit VelLocale(const VelString &name);
    explicit VelLocale(const char *name) : VelLocale(VelString(name)) {}

    static VelLocale c();
    // The user's locale. Answers come from the installed system-locale hook
    // when it gives one, else from the hook's fallback locale, else from the
    // process environment (LC_ALL, LC_MESSAGES, LANG; the first set and not empty).
    static VelLocale system();
    static void setDefault(const VelLocale &locale);

    // The system-locale hook: query answers one question (numbered as the
    // host's system-locale queries) or returns an invalid variant; fallback
    // supplies the locale whose data answers the rest. Either may be null.
    using SystemQueryFunction = VelVariant (*)(int type, const VelVariant &in);
    using SystemFallbackFunction = VelLocale (*)();
    static void setSystemLocaleHooks(SystemQueryFunction query, SystemFallbackFunction fallback);

    bool isC() const { return m_isC; }
    bool isSystem() const { return m_isSystem; }
    // "de_CH"; "C" for the C locale.
    VelString name() const;
    // A BCP 47 tag: "de-CH"; "C" for the C locale.
    VelString bcp47Name() const;
    // ISO 639 language and ISO 3166 country codes ("de", "CH"); "C" and "" for C.
    VelString languageCode() const;
    VelString countryCode() const;
    // ISO 15924 code of the script ("Latn").
    VelString scriptCode() const;
    VelString language() const { return languageCode(); }
    VelString country() const { return countryCode(); }
    VelString script() const { return scriptCode(); }
    VelString nativeLanguageName() const;
    VelString nativeCountryName() const;
    VelStringList uiLanguages() const;

    // Strings, since some locales need more than one UTF-16 unit (marks around the sign).
    VelString decimalPoint() const;
    VelString groupSeparator() const;
    VelString zeroDigit() const;
    VelString negativeSign() const;
    VelString positiveSign() const;
    VelString percent() const;
    VelString exponential() const;

    VelString dateFormat(FormatType format = LongFormat) const;
    VelString timeFormat(FormatType format = LongFormat) const;
    VelString dateTimeFormat(FormatType format = LongFormat) const;
    VelString toString(const VelDate &date, FormatType format = LongFormat) const;
    VelString toString(const VelTime &time, FormatType format = LongFormat) const;
    VelString toString(const VelDateTime &dateTime, FormatType format = LongFormat) const;
    VelString toString(const VelDate &date, const VelString &format) const;
    VelString toString(const VelTime &time, const VelString &format) const;
    VelString toString(const VelDateTime &dateTime, const VelString &format) const;
    // Numbers with the locale's digits, signs and group separators.
    VelString toString(long long value) const;
    VelString toString(unsigned long long value) const;
    VelString toString(int value) const { return toString((long long)value); }
    VelString toString(double value, char format = 'g', int precision = 6) const;

    // day: 1 = Monday ... 7 = Sunday; month: 1 ... 12. Out of range gives "".
    VelString dayName(int day, FormatType format = LongFormat) const;
    VelString standaloneDayName(int day, FormatType format = LongFormat) const;
    VelString monthName(int month, FormatType format = LongFormat) const;
    VelString standaloneMonthName(int month, FormatType format = LongFormat) const;
    VelString amText() const;
    VelString pmText() const;
    Vel::DayOfWeek firstDayOfWeek() const;
    VelList<Vel::DayOfWeek> weekdays() const;
    MeasurementSystem measurementSystem() const;

    VelString currencySymbol(CurrencySymbolFormat format = CurrencySymbol) const;
    // With the locale's currency symbol unless one is given.
    VelString toCurrencyString(long long value, const VelString &symbol = VelString()) const;
    VelString toCurrencyString(unsigned long long value,
                               const VelString &symbol = VelString()) const;
    VelString toCurrencyString(int value, const VelString &symbol = VelString()) const
    {
        return toCurrencyString((long long)value, symbol);
    }
    VelString toCurrencyString(uint value, const VelString &symbol = VelString()) const
    {
        return toCurrencyString((unsigned long long)value, symbol);
    }
    VelString toCurrencyString(double value, const VelString &symbol = VelString()) const;

    VelString quoteString(const VelString &text, QuotationStyle style = StandardQuotation) const;
    // "a, b und c" style joining.
    VelString createSeparatedList(const VelStringList &list) const;

    friend bool operator==(const VelLocale &a, const VelLocale &b);
    friend bool operator!=(const VelLocale &a, const VelLocale &b) { return !(a == b); }

private:
    struct CLocaleTag {
    };
    explicit VelLocale(CLocaleTag);
    // The ICU id the data comes from ("de_CH"; "en_US_POSIX" for C).
    const char *icuName() const { return m_icuName.constData(); }
    bool askSystem(int type, const VelVariant &in, VelVariant *out) const;

    VelByteArray m_icuName;
    bool m_isC = true;
    bool m_isSystem = false;
};

VEL_DECLARE_METATYPE(VelLocale)

#endif
