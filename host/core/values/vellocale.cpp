#include "vellocale.h"

#include "veldatetime.h"
#include "velenvironment.h"
#include "velvariant.h"

#include <unicode/calendar.h>
#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/listformatter.h>
#include <unicode/locid.h>
#include <unicode/numfmt.h>
#include <unicode/smpdtfmt.h>
#include <unicode/ucurr.h>
#include <unicode/uloc.h>
#include <unicode/ulocdata.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace
{

// The host's system-locale query numbers (shared with the GUI library's backend).
enum SystemQuery {
    QueryLanguage = 0,
    QueryCountry = 1,
    QueryDecimalPoint = 2,
    QueryGroupSeparator = 3,
    QueryZeroDigit = 4,
    QueryNegativeSign = 5,
    QueryDateFormatLong = 6,
    QueryTimeFormatLong = 8,
    QueryDayNameLong = 10,
    QueryMonthNameLong = 12,
    QueryDateToStringLong = 14,
    QueryTimeToStringLong = 16,
    QueryDateTimeFormatLong = 18,
    QueryDateTimeToStringLong = 20,
    QueryMeasurementSystem = 22,
    QueryPositiveSign = 23,
    QueryAMText = 24,
    QueryPMText = 25,
    QueryFirstDayOfWeek = 26,
    QueryCurrencySymbol = 28,
    QueryCurrencyToString = 29,
    QueryUILanguages = 30,
    QueryStandardQuotation = 31,
    QueryAlternateQuotation = 32,
    QueryScript = 33,
    QueryListToSeparatedString = 34,
    QueryNativeLanguageName = 36,
    QueryNativeCountryName = 37,
    QueryStandaloneMonthNameLong = 38
};

// Long and short forms of a query are consecutive numbers.
int formQuery(int longQuery, VelLocale::FormatType format)
{
    return format == VelLocale::LongFormat ? longQuery : longQuery + 1;
}

constexpr const char *kCIcuName = "en_US_POSIX";

std::atomic<VelLocale::SystemQueryFunction> g_systemQuery{nullptr};
std::atomic<VelLocale::SystemFallbackFunction> g_systemFallback{nullptr};

VelString fromIcu(const icu::UnicodeString &s)
{
    return VelString(reinterpret_cast<const char16_t *>(s.getBuffer()), s.length());
}

icu::UnicodeString toIcu(const VelString &s)
{
    return icu::UnicodeString(s.utf16(), s.length());
}

// --- name resolution ---------------------------------------------------------

struct KnownCodes {
    std::set<std::string> languages; // languages ICU has locale data for
    std::set<std::string> countries; // every ISO 3166 code ICU knows
};

const KnownCodes &knownCodes()
{
    static const KnownCodes codes = [] {
        KnownCodes k;
        const int32_t count = uloc_countAvailable();
        for (int32_t i = 0; i < count; ++i) {
            const std::string id = uloc_getAvailable(i);
            k.languages.insert(id.substr(0, id.find('_')));
        }
        for (const char *const *c = icu::Locale::getISOCountries(); *c; ++c)
            k.countries.insert(*c);
        return k;
    }();
    return codes;
}

std::string lower(std::string s)
{
    for (char &c : s)
        c = char(std::tolower(uchar(c)));
    return s;
}

std::string upper(std::string s)
{
    for (char &c : s)
        c = char(std::toupper(uchar(c)));
    return s;
}

std::string titleCase(std::string s)
{
    s = lower(s);
    if (!s.empty())
        s[0] = char(std::toupper(uchar(s[0])));
    return s;
}

icu::Locale likely(const std::string &language, const std::string &script,
                   const std::string &country)
{
    std::string id = language.empty() ? "und" : language;
    if (!script.empty())
        id += "_" + script;
    if (!country.empty())
        id += "_" + country;
    icu::Locale l(id.c_str());
    UErrorCode error = U_ZERO_ERROR;
    l.addLikelySubtags(error);
    return l;
}

// The ICU id for a host locale name; empty for the C locale.
std::string resolveName(const VelString &name)
{
    std::string s = name.trimmed().toLatin1().toStdString();
    const size_t cut = s.find_first_of(".@");
    if (cut != std::string::npos)
        s.resize(cut);
    if (s.empty() || s == "C" || s == "POSIX")
        return std::string();
    for (char &c : s) {
        if (c == '-')
            c = '_';
    }
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t sep = s.find('_', start);
        parts.push_back(
            s.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
        if (sep == std::string::npos)
            break;
        start = sep + 1;
    }
    std::string language = lower(parts[0]);
    std::string script;
    std::string country;
    if (parts.size() >= 3) {
        script = titleCase(parts[1]);
        country = upper(parts[2]);
    } else if (parts.size() == 2) {
        if (parts[1].size() == 4)
            script = titleCase(parts[1]);
        else
            country = upper(parts[1]);
    }

    const KnownCodes &known = knownCodes();
    if (!country.empty() && !known.countries.count(country))
        country.clear();
    if (language.empty()) {
        if (country.empty())
            return std::string();
        const icu::Locale guess = likely(std::string(), script, country);
        language = guess.getLanguage();
        if (language.empty() || language == "und")
            return std::string();
    }
    if (!known.languages.count(language))
        return std::string();
    if (country.empty())
        country = likely(language, script, std::string()).getCountry();

    std::string id = language;
    if (!script.empty())
        id += "_" + script;
    if (!country.empty())
        id += "_" + country;
    return id;
}

// --- pattern conversion --------------------------------------------------------

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

void flushLiteral(std::u16string &literal, std::u16string &out)
{
    if (literal.empty())
        return;
    bool hasLetter = false;
    for (char16_t c : literal)
        hasLetter = hasLetter || isAsciiLetter(c);
    std::u16string escaped;
    for (char16_t c : literal) {
        if (c == u'\'')
            escaped += u"''";
        else
            escaped += c;
    }
    if (hasLetter)
        out += u"'" + escaped + u"'";
    else
        out += escaped;
    literal.clear();
}

std::u16string mapIcuField(char16_t letter, int n)
{
    switch (letter) {
    case u'y':
    case u'Y':
    case u'u':
    case u'U':
    case u'r':
        return n == 2 ? u"yy" : u"yyyy";
    case u'M':
    case u'L':
        return n == 1 ? u"M" : n == 2 ? u"MM" : n == 4 ? u"MMMM" : u"MMM";
    case u'd':
        return n == 1 ? u"d" : u"dd";
    case u'E':
    case u'c':
    case u'e':
        if ((letter == u'c' || letter == u'e') && n <= 2)
            return u"";
        return n == 4 ? u"dddd" : u"ddd";
    case u'a':
    case u'b':
    case u'B':
        return u"AP";
    case u'h':
    case u'K':
        return n == 1 ? u"h" : u"hh";
    case u'H':
    case u'k':
        return n == 1 ? u"H" : u"HH";
    case u'm':
        return n == 1 ? u"m" : u"mm";
    case u's':
        return n == 1 ? u"s" : u"ss";
    case u'S':
        return u"zzz";
    case u'z':
    case u'Z':
    case u'v':
    case u'V':
    case u'O':
    case u'X':
    case u'x':
        return u"t";
    default:
        return u""; // era, week numbers, quarters: the host pattern has no such field
    }
}

VelString icuPatternToHost(const icu::UnicodeString &pattern)
{
    const std::u16string p(reinterpret_cast<const char16_t *>(pattern.getBuffer()),
                           size_t(pattern.length()));
    std::u16string out;
    std::u16string literal;
    size_t i = 0;
    while (i < p.size()) {
        const char16_t c = p[i];
        if (c == u'\'') {
            if (i + 1 < p.size() && p[i + 1] == u'\'') {
                literal += u'\'';
                i += 2;
                continue;
            }
            ++i;
            while (i < p.size()) {
                if (p[i] == u'\'') {
                    if (i + 1 < p.size() && p[i + 1] == u'\'') {
                        literal += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal += p[i++];
            }
            continue;
        }
        if (isAsciiLetter(c)) {
            size_t n = 1;
            while (i + n < p.size() && p[i + n] == c)
                ++n;
            flushLiteral(literal, out);
            out += mapIcuField(c, int(n));
            i += n;
            continue;
        }
        literal += c;
        ++i;
    }
    flushLiteral(literal, out);
    return VelString(out);
}

VelString icuDatePattern(const char *icuName, icu::DateFormat::EStyle dateStyle,
                         icu::DateFormat::EStyle timeStyle)
{
    std::unique_ptr<icu::DateFormat> format(
        icu::DateFormat::createDateTimeInstance(dateStyle, timeStyle, icu::Locale(icuName)));
    const auto *simple = dynamic_cast<const icu::SimpleDateFormat *>(format.get());
    if (!simple)
        return VelString();
    icu::UnicodeString pattern;
    simple->toPattern(pattern);
    return icuPatternToHost(pattern);
}

icu::DateFormat::EStyle icuStyle(VelLocale::FormatType format)
{
    return format == VelLocale::LongFormat ? icu::DateFormat::kFull : icu::DateFormat::kShort;
}

// --- host pattern formatting -----------------------------------------------------

struct Moment {
    const VelDate *date = nullptr;
    const VelTime *time = nullptr;
    const VelDateTime *dateTime = nullptr;
};

VelString zoneAbbreviation(const Moment &m)
{
    if (m.dateTime && m.dateTime->timeSpec() == Vel::UTC)
        return VelString("UTC");
    const std::time_t secs =
        m.dateTime ? std::time_t(m.dateTime->toSecsSinceEpoch()) : std::time(nullptr);
    std::tm local{};
    localtime_r(&secs, &local);
    return VelString(local.tm_zone ? local.tm_zone : "");
}

class PatternFormatter
{
public:
    PatternFormatter(const VelLocale &locale, const Moment &moment)
        : m_locale(locale), m_moment(moment)
    {
    }

    VelString format(const VelString &pattern)
    {
        const std::u16string &p = pattern.toStdU16String();
        m_ampm = usesAmPm(p);
        std::u16string out;
        size_t i = 0;
        while (i < p.size()) {
            const char16_t c = p[i];
            if (c == u'\'') {
                i = copyQuoted(p, i, out);
                continue;
            }
            size_t n = 1;
            while (i + n < p.size() && p[i + n] == c)
                ++n;
            const size_t used = field(p, i, c, n, out);
            i += used;
        }
        return VelString(out);
    }

private:
    static bool usesAmPm(const std::u16string &p)
    {
        bool quoted = false;
        for (char16_t c : p) {
            if (c == u'\'')
                quoted = !quoted;
            else if (!quoted && (c == u'a' || c == u'A'))
                return true;
        }
        return false;
    }

    static size_t copyQuoted(const std::u16string &p, size_t i, std::u16string &out)
    {
        if (i + 1 < p.size() && p[i + 1] == u'\'') {
            out += u'\'';
            return i + 2;
        }
        ++i;
        while (i < p.size()) {
            if (p[i] == u'\'') {
                if (i + 1 < p.size() && p[i + 1] == u'\'') {
                    out += u'\'';
                    i += 2;
                    continue;
                }
                return i + 1;
            }
            out += p[i++];
        }
        return i;
    }

    std::u16string number(long long v, int width) const
    {
        std::string digits = std::to_string(v < 0 ? -v : v);
        while (int(digits.size()) < width)
            digits.insert(digits.begin(), '0');
        const VelString zero = m_locale.zeroDigit();
        const char16_t zeroUnit = zero.length() == 1 ? zero.at(0).unicode() : u'0';
        std::u16string out;
        if (v < 0)
            out += m_locale.negativeSign().toStdU16String();
        for (char d : digits)
            out += char16_t(zeroUnit + (d - '0'));
        return out;
    }

    VelDate date() const
    {
        if (m_moment.date)
            return *m_moment.date;
        return m_moment.dateTime ? m_moment.dateTime->date() : VelDate();
    }

    VelTime time() const
    {
        if (m_moment.time)
            return *m_moment.time;
        return m_moment.dateTime ? m_moment.dateTime->time() : VelTime();
    }

    bool hasDate() const { return m_moment.date || m_moment.dateTime; }
    bool hasTime() const { return m_moment.time || m_moment.dateTime; }

    // Appends one field starting at p[i] (a run of n letters c) and returns
    // how many units it used. Letters that name no available field are text.
    size_t field(const std::u16string &p, size_t i, char16_t c, size_t n, std::u16string &out)
    {
        switch (c) {
        case u'd':
            if (!hasDate())
                break;
            if (n >= 4) {
                out += m_locale.dayName(date().dayOfWeek(), VelLocale::LongFormat).toStdU16String();
                return 4;
            }
            if (n == 3) {
                out +=
                    m_locale.dayName(date().dayOfWeek(), VelLocale::ShortFormat).toStdU16String();
                return 3;
            }
            out += number(date().day(), int(n));
            return n;
        case u'M':
            if (!hasDate())
                break;
            if (n >= 4) {
                out += m_locale.monthName(date().month(), VelLocale::LongFormat).toStdU16String();
                return 4;
            }
            if (n == 3) {
                out += m_locale.monthName(date().month(), VelLocale::ShortFormat).toStdU16String();
                return 3;
            }
            out += number(date().month(), int(n));
            return n;
        case u'y':
            if (!hasDate() || n < 2)
                break;
            if (n >= 4) {
                out += number(date().year(), 4);
                return 4;
            }
            out += number(((date().year() % 100) + 100) % 100, 2);
            return 2;
        case u'h':
        case u'H': {
            if (!hasTime())
                break;
            int hour = time().hour();
            if (c == u'h' && m_ampm) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            const size_t used = n >= 2 ? 2 : 1;
            out += number(hour, int(used));
            return used;
        }
        case u'm':
        case u's': {
            if (!hasTime())
                break;
            const size_t used = n >= 2 ? 2 : 1;
            out += number(c == u'm' ? time().minute() : time().second(), int(used));
            return used;
        }
        case u'z':
            if (!hasTime())
                break;
            if (n >= 3) {
                out += number(time().msec(), 3);
                return 3;
            }
            out += number(time().msec(), 1);
            return 1;
        case u'a':
        case u'A': {
            if (!hasTime())
                break;
            const bool pm = time().hour() >= 12;
            VelString text = pm ? m_locale.pmText() : m_locale.amText();
            text = c == u'A' ? text.toUpper() : text.toLower();
            out += text.toStdU16String();
            const bool pair = i + 1 < p.size() && (p[i + 1] == u'p' || p[i + 1] == u'P');
            return pair ? 2 : 1;
        }
        case u't':
            if (!hasTime())
                break;
            out += zoneAbbreviation(m_moment).toStdU16String();
            return 1;
        default:
            break;
        }
        out.append(n, c);
        return n;
    }

    const VelLocale &m_locale;
    Moment m_moment;
    bool m_ampm = false;
};

// --- ICU data helpers --------------------------------------------------------------

VelString decimalSymbol(const char *icuName, icu::DecimalFormatSymbols::ENumberFormatSymbol which)
{
    UErrorCode error = U_ZERO_ERROR;
    const icu::DecimalFormatSymbols symbols{icu::Locale(icuName), error};
    if (U_FAILURE(error))
        return VelString();
    return fromIcu(symbols.getSymbol(which));
}

icu::DateFormatSymbols::DtWidthType icuWidth(VelLocale::FormatType format)
{
    switch (format) {
    case VelLocale::LongFormat:
        return icu::DateFormatSymbols::WIDE;
    case VelLocale::ShortFormat:
        return icu::DateFormatSymbols::ABBREVIATED;
    case VelLocale::NarrowFormat:
        return icu::DateFormatSymbols::NARROW;
    }
    return icu::DateFormatSymbols::WIDE;
}

VelString weekdayName(const char *icuName, int day, VelLocale::FormatType format,
                      icu::DateFormatSymbols::DtContextType context)
{
    if (day < 1 || day > 7)
        return VelString();
    UErrorCode error = U_ZERO_ERROR;
    const icu::DateFormatSymbols symbols(icu::Locale(icuName), error);
    if (U_FAILURE(error))
        return VelString();
    int32_t count = 0;
    const icu::UnicodeString *names = symbols.getWeekdays(count, context, icuWidth(format));
    // ICU counts Sunday = 1 ... Saturday = 7 (index 0 unused).
    const int index = day % 7 + 1;
    return index < count ? fromIcu(names[index]) : VelString();
}

VelString monthNameOf(const char *icuName, int month, VelLocale::FormatType format,
                      icu::DateFormatSymbols::DtContextType context)
{
    if (month < 1 || month > 12)
        return VelString();
    UErrorCode error = U_ZERO_ERROR;
    const icu::DateFormatSymbols symbols(icu::Locale(icuName), error);
    if (U_FAILURE(error))
        return VelString();
    int32_t count = 0;
    const icu::UnicodeString *names = symbols.getMonths(count, context, icuWidth(format));
    return month - 1 < count ? fromIcu(names[month - 1]) : VelString();
}

VelString amPm(const char *icuName, int which)
{
    UErrorCode error = U_ZERO_ERROR;
    const icu::DateFormatSymbols symbols(icu::Locale(icuName), error);
    if (U_FAILURE(error))
        return which == 0 ? VelString("AM") : VelString("PM");
    int32_t count = 0;
    const icu::UnicodeString *names = symbols.getAmPmStrings(count);
    return which < count ? fromIcu(names[which]) : VelString();
}

VelString currencyCode(const char *icuName)
{
    UErrorCode error = U_ZERO_ERROR;
    UChar code[4] = {0};
    ucurr_forLocale(icuName, code, 4, &error);
    if (U_FAILURE(error) || code[0] == 0)
        return VelString();
    return VelString(reinterpret_cast<const char16_t *>(code), 3);
}

// Formats an amount in the locale's currency pattern. Integer amounts show no
// fraction digits; a given symbol replaces the locale's.
template <typename Format>
VelString formatCurrency(const char *icuName, const VelString &symbol, bool integer, Format format)
{
    UErrorCode error = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberFormat> nf(
        icu::NumberFormat::createCurrencyInstance(icu::Locale(icuName), error));
    if (U_FAILURE(error) || !nf)
        return VelString();
    if (integer) {
        nf->setMinimumFractionDigits(0);
        nf->setMaximumFractionDigits(0);
    }
    if (!symbol.isEmpty()) {
        if (auto *df = dynamic_cast<icu::DecimalFormat *>(nf.get())) {
            icu::DecimalFormatSymbols symbols(*df->getDecimalFormatSymbols());
            symbols.setSymbol(icu::DecimalFormatSymbols::kCurrencySymbol, toIcu(symbol));
            df->setDecimalFormatSymbols(symbols);
        }
    }
    icu::UnicodeString out;
    format(*nf, out, error);
    if (U_FAILURE(error))
        return VelString();
    return fromIcu(out);
}

std::mutex g_defaultMutex; // guards defaultLocale(); a leaf lock

VelLocale &defaultLocale()
{
    static VelLocale *locale = new VelLocale(VelLocale::c()); // outlives static destructors
    return *locale;
}

VelString environmentLocaleName()
{
    for (const char *var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const VelByteArray value = velgetenv(var);
        if (!value.isEmpty())
            return VelString::fromLocal8Bit(value);
    }
    return VelString("C");
}

} // namespace

// --- construction --------------------------------------------------------------------

VelLocale::VelLocale(CLocaleTag) : m_icuName(kCIcuName), m_isC(true) {}

VelLocale::VelLocale() : VelLocale(CLocaleTag())
{
    std::lock_guard<std::mutex> lock(g_defaultMutex);
    *this = defaultLocale();
}

VelLocale::VelLocale(const VelString &name) : VelLocale(CLocaleTag())
{
    const std::string id = resolveName(name);
    if (!id.empty()) {
        m_icuName = VelByteArray(id);
        m_isC = false;
    }
}

VelLocale VelLocale::c()
{
    return VelLocale(CLocaleTag());
}

VelLocale VelLocale::system()
{
    const SystemFallbackFunction fallback = g_systemFallback.load();
    VelLocale locale = fallback ? fallback() : VelLocale(environmentLocaleName());
    locale.m_isSystem = true;
    return locale;
}

void VelLocale::setDefault(const VelLocale &locale)
{
    std::lock_guard<std::mutex> lock(g_defaultMutex);
    defaultLocale() = locale;
}

void VelLocale::setSystemLocaleHooks(SystemQueryFunction query, SystemFallbackFunction fallback)
{
    g_systemQuery.store(query);
    g_systemFallback.store(fallback);
}

bool VelLocale::askSystem(int type, const VelVariant &in, VelVariant *out) const
{
    if (!m_isSystem)
        return false;
    const SystemQueryFunction query = g_systemQuery.load();
    if (!query)
        return false;
    *out = query(type, in);
    return out->isValid();
}

bool operator==(const VelLocale &a, const VelLocale &b)
{
    return a.m_isC == b.m_isC && a.m_icuName == b.m_icuName;
}

// --- names --------------------------------------------------------------------------

VelString VelLocale::name() const
{
    if (m_isC)
        return VelString("C");
    const icu::Locale l(icuName());
    std::string n = l.getLanguage();
    if (*l.getCountry())
        n += std::string("_") + l.getCountry();
    return VelString(n.c_str());
}

VelString VelLocale::bcp47Name() const
{
    if (m_isC)
        return VelString("C");
    UErrorCode error = U_ZERO_ERROR;
    const std::string tag = icu::Locale(icuName()).toLanguageTag<std::string>(error);
    return U_FAILURE(error) ? name() : VelString(tag.c_str());
}

VelString VelLocale::languageCode() const
{
    VelVariant answer;
    if (askSystem(QueryLanguage, VelVariant(), &answer) &&
        answer.type() == VelMetaType::VelStringType)
        return answer.toString();
    return m_isC ? VelString("C") : VelString(icu::Locale(icuName()).getLanguage());
}

VelString VelLocale::countryCode() const
{
    VelVariant answer;
    if (askSystem(QueryCountry, VelVariant(), &answer) &&
        answer.type() == VelMetaType::VelStringType)
        return answer.toString();
    return m_isC ? VelString() : VelString(icu::Locale(icuName()).getCountry());
}

VelString VelLocale::scriptCode() const
{
    VelVariant answer;
    if (askSystem(QueryScript, VelVariant(), &answer) &&
        answer.type() == VelMetaType::VelStringType)
        return answer.toString();
    const icu::Locale l = m_isC ? icu::Locale("en") : icu::Locale(icuName());
    if (*l.getScript())
        return VelString(l.getScript());
    return VelString(likely(l.getLanguage(), std::string(), l.getCountry()).getScript());
}

VelString VelLocale::nativeLanguageName() const
{
    VelVariant answer;
    if (askSystem(QueryNativeLanguageName, VelVariant(), &answer))
        return answer.toString();
    if (m_isC)
        return VelString();
    const icu::Locale l(icuName());
    icu::UnicodeString out;
    return fromIcu(l.getDisplayLanguage(l, out));
}

VelString VelLocale::nativeCountryName() const
{
    VelVariant answer;
    if (askSystem(QueryNativeCountryName, VelVariant(), &answer))
        return answer.toString();
    if (m_isC)
        return VelString();
    const icu::Locale l(icuName());
    icu::UnicodeString out;
    return fromIcu(l.getDisplayCountry(l, out));
}

VelStringList VelLocale::uiLanguages() const
{
    VelVariant answer;
    if (askSystem(QueryUILanguages, VelVariant(), &answer))
        return answer.toStringList();
    if (m_isC)
        return VelStringList{VelString("C")};
    VelStringList out{bcp47Name()};
    const VelString language(icu::Locale(icuName()).getLanguage());
    if (!out.contains(language))
        out.append(language);
    return out;
}

// --- numbers -----------------------------------------------------------------------

VelString VelLocale::decimalPoint() const
{
    VelVariant answer;
    if (askSystem(QueryDecimalPoint, VelVariant(), &answer))
        return answer.toString();
    return decimalSymbol(icuName(), icu::DecimalFormatSymbols::kDecimalSeparatorSymbol);
}

VelString VelLocale::groupSeparator() const
{
    VelVariant answer;
    if (askSystem(QueryGroupSeparator, VelVariant(), &answer))
        return answer.toString();
    return decimalSymbol(icuName(), icu::DecimalFormatSymbols::kGroupingSeparatorSymbol);
}

VelString VelLocale::zeroDigit() const
{
    VelVariant answer;
    if (askSystem(QueryZeroDigit, VelVariant(), &answer))
        return answer.toString();
    return decimalSymbol(icuName(), icu::DecimalFormatSymbols::kZeroDigitSymbol);
}

VelString VelLocale::negativeSign() const
{
    VelVariant answer;
    if (askSystem(QueryNegativeSign, VelVariant(), &answer))
        return answer.toString();
    return decimalSymbol(icuName(), icu::DecimalFormatSymbols::kMinusSignSymbol);
}

VelString VelLocale::positiveSign() const
{
    VelVariant answer;
    if (askSystem(QueryPositiveSign, VelVariant(), &answer))
        return answer.toString();
    return decimalSymbol(icuName(), icu::DecimalFormatSymbols::kPlusSignSymbol);
}

VelString VelLocale::percent() const
{
    return decimalSymbol(icuName(), icu::DecimalFormatSymbols::kPercentSymbol);
}

VelString VelLocale::exponential() const
{
    return decimalSymbol(icuName(), icu::DecimalFormatSymbols::kExponentialSymbol);
}

VelString VelLocale::toString(long long value) const
{
    UErrorCode error = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberFormat> nf(
        icu::NumberFormat::createInstance(icu::Locale(icuName()), error));
    if (U_FAILURE(error) || !nf)
        return VelString::number(value);
    icu::UnicodeString out;
    nf->format(int64_t(value), out);
    return fromIcu(out);
}

VelString VelLocale::toString(unsigned long long value) const
{
    UErrorCode error = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberFormat> nf(
        icu::NumberFormat::createInstance(icu::Locale(icuName()), error));
    if (U_FAILURE(error) || !nf)
        return VelString(std::to_string(value).c_str());
    icu::UnicodeString out;
    const std::string digits = std::to_string(value);
    nf->format(icu::StringPiece(digits), out, nullptr, error);
    return U_FAILURE(error) ? VelString(digits.c_str()) : fromIcu(out);
}

VelString VelLocale::toString(double value, char format, int precision) const
{
    const VelString plain = VelString::number(value, format, precision);
    const VelString zero = zeroDigit();
    const char16_t zeroUnit = zero.length() == 1 ? zero.at(0).unicode() : u'0';
    VelString out;
    for (const char16_t c : plain) {
        if (c == u'.')
            out += decimalPoint();
        else if (c == u'-')
            out += negativeSign();
        else if (c == u'+')
            out += positiveSign();
        else if (c >= u'0' && c <= u'9')
            out += VelChar(char16_t(zeroUnit + (c - u'0')));
        else
            out += VelChar(c);
    }
    return out;
}

// --- dates and times -------------------------------------------------------------------

VelString VelLocale::dateFormat(FormatType format) const
{
    VelVariant answer;
    if (askSystem(formQuery(QueryDateFormatLong, format), VelVariant(), &answer))
        return answer.toString();
    if (m_isC)
        return VelString(format == LongFormat ? "dddd, d MMMM yyyy" : "d MMM yyyy");
    return icuDatePattern(icuName(), icuStyle(format), icu::DateFormat::kNone);
}

VelString VelLocale::timeFormat(FormatType format) const
{
    VelVariant answer;
    if (askSystem(formQuery(QueryTimeFormatLong, format), VelVariant(), &answer))
        return answer.toString();
    if (m_isC)
        return VelString(format == LongFormat ? "HH:mm:ss t" : "HH:mm:ss");
    return icuDatePattern(icuName(), icu::DateFormat::kNone, icuStyle(format));
}

VelString VelLocale::dateTimeFormat(FormatType format) const
{
    VelVariant answer;
    if (askSystem(formQuery(QueryDateTimeFormatLong, format), VelVariant(), &answer))
        return answer.toString();
    if (m_isC)
        return dateFormat(format) + " " + timeFormat(format);
    return icuDatePattern(icuName(), icuStyle(format), icuStyle(format));
}

VelString VelLocale::toString(const VelDate &date, FormatType format) const
{
    VelVariant answer;
    if (askSystem(formQuery(QueryDateToStringLong, format), VelVariant::fromValue(date), &answer))
        return answer.toString();
    return toString(date, dateFormat(format));
}

VelString VelLocale::toString(const VelTime &time, FormatType format) const
{
    VelVariant answer;
    if (askSystem(formQuery(QueryTimeToStringLong, format), VelVariant::fromValue(time), &answer))
        return answer.toString();
    return toString(time, timeFormat(format));
}

VelString VelLocale::toString(const VelDateTime &dateTime, FormatType format) const
{
    VelVariant answer;
    if (askSystem(formQuery(QueryDateTimeToStringLong, format), VelVariant::fromValue(dateTime),
                  &answer))
        return answer.toString();
    return toString(dateTime, dateTimeFormat(format));
}

VelString VelLocale::toString(const VelDate &date, const VelString &format) const
{
    if (!date.isValid())
        return VelString();
    Moment m;
    m.date = &date;
    return PatternFormatter(*this, m).format(format);
}

VelString VelLocale::toString(const VelTime &time, const VelString &format) const
{
    if (!time.isValid())
        return VelString();
    Moment m;
    m.time = &time;
    return PatternFormatter(*this, m).format(format);
}

VelString VelLocale::toString(const VelDateTime &dateTime, const VelString &format) const
{
    if (!dateTime.isValid())
        return VelString();
    Moment m;
    m.dateTime = &dateTime;
    return PatternFormatter(*this, m).format(format);
}

VelString VelLocale::dayName(int day, FormatType format) const
{
    VelVariant answer;
    if (format != NarrowFormat &&
        askSystem(formQuery(QueryDayNameLong, format), VelVariant(day), &answer))
        return answer.toString();
    return weekdayName(icuName(), day, format, icu::DateFormatSymbols::FORMAT);
}

VelString VelLocale::standaloneDayName(int day, FormatType format) const
{
    return weekdayName(icuName(), day, format, icu::DateFormatSymbols::STANDALONE);
}

VelString VelLocale::monthName(int month, FormatType format) const
{
    VelVariant answer;
    if (format != NarrowFormat &&
        askSystem(formQuery(QueryMonthNameLong, format), VelVariant(month), &answer))
        return answer.toString();
    return monthNameOf(icuName(), month, format, icu::DateFormatSymbols::FORMAT);
}

VelString VelLocale::standaloneMonthName(int month, FormatType format) const
{
    VelVariant answer;
    if (format != NarrowFormat &&
        askSystem(formQuery(QueryStandaloneMonthNameLong, format), VelVariant(month), &answer))
        return answer.toString();
    return monthNameOf(icuName(), month, format, icu::DateFormatSymbols::STANDALONE);
}

VelString VelLocale::amText() const
{
    VelVariant answer;
    if (askSystem(QueryAMText, VelVariant(), &answer))
        return answer.toString();
    return amPm(icuName(), 0);
}

VelString VelLocale::pmText() const
{
    VelVariant answer;
    if (askSystem(QueryPMText, VelVariant(), &answer))
        return answer.toString();
    return amPm(icuName(), 1);
}

Vel::DayOfWeek VelLocale::firstDayOfWeek() const
{
    VelVariant answer;
    if (askSystem(QueryFirstDayOfWeek, VelVariant(), &answer)) {
        const int day = answer.toInt();
        if (day >= 1 && day <= 7)
            return Vel::DayOfWeek(day);
    }
    if (m_isC)
        return Vel::Monday;
    UErrorCode error = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(
        icu::Calendar::createInstance(icu::Locale(icuName()), error));
    if (U_FAILURE(error) || !calendar)
        return Vel::Monday;
    const int icuDay = int(calendar->getFirstDayOfWeek(error)); // Sunday = 1
    return icuDay == 1 ? Vel::Sunday : Vel::DayOfWeek(icuDay - 1);
}

VelList<Vel::DayOfWeek> VelLocale::weekdays() const
{
    VelList<Vel::DayOfWeek> out;
    UErrorCode error = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar;
    if (!m_isC)
        calendar.reset(icu::Calendar::createInstance(icu::Locale(icuName()), error));
    for (int day = Vel::Monday; day <= Vel::Sunday; ++day) {
        bool working = day <= Vel::Friday;
        if (calendar && U_SUCCESS(error)) {
            const auto icuDay = UCalendarDaysOfWeek(day % 7 + 1);
            working = calendar->getDayOfWeekType(icuDay, error) == UCAL_WEEKDAY;
        }
        if (working)
            out.append(Vel::DayOfWeek(day));
    }
    return out;
}

VelLocale::MeasurementSystem VelLocale::measurementSystem() const
{
    VelVariant answer;
    if (askSystem(QueryMeasurementSystem, VelVariant(), &answer))
        return MeasurementSystem(answer.toInt());
    if (m_isC)
        return MetricSystem;
    UErrorCode error = U_ZERO_ERROR;
    const UMeasurementSystem ms = ulocdata_getMeasurementSystem(icuName(), &error);
    if (U_FAILURE(error))
        return MetricSystem;
    return ms == UMS_US ? ImperialUSSystem : ms == UMS_UK ? ImperialUKSystem : MetricSystem;
}

// --- money, quotes, lists -----------------------------------------------------------

VelString VelLocale::currencySymbol(CurrencySymbolFormat format) const
{
    VelVariant answer;
    if (askSystem(QueryCurrencySymbol, VelVariant(uint(format)), &answer))
        return answer.toString();
    if (m_isC)
        return VelString();
    const VelString code = currencyCode(icuName());
    if (code.isEmpty() || format == CurrencyIsoCode)
        return code;
    UErrorCode error = U_ZERO_ERROR;
    UBool isChoice = false;
    int32_t length = 0;
    const UChar *name = ucurr_getName(
        reinterpret_cast<const UChar *>(code.utf16()), icuName(),
        format == CurrencySymbol ? UCURR_SYMBOL_NAME : UCURR_LONG_NAME, &isChoice, &length, &error);
    if (U_FAILURE(error) || !name)
        return code;
    return VelString(reinterpret_cast<const char16_t *>(name), length);
}

VelString VelLocale::toCurrencyString(long long value, const VelString &symbol) const
{
    VelVariant answer;
    if (symbol.isEmpty() && askSystem(QueryCurrencyToString, VelVariant(value), &answer))
        return answer.toString();
    if (m_isC)
        return symbol.isEmpty() ? toString(value) : symbol + " " + toString(value);
    return formatCurrency(icuName(), symbol, true,
                          [value](icu::NumberFormat &nf, icu::UnicodeString &out, UErrorCode &) {
                              nf.format(int64_t(value), out);
                          });
}

VelString VelLocale::toCurrencyString(unsigned long long value, const VelString &symbol) const
{
    VelVariant answer;
    if (symbol.isEmpty() && askSystem(QueryCurrencyToString, VelVariant(value), &answer))
        return answer.toString();
    if (m_isC)
        return symbol.isEmpty() ? toString(value) : symbol + " " + toString(value);
    const std::string digits = std::to_string(value);
    return formatCurrency(icuName(), symbol, true,
                          [&digits](icu::NumberFormat &nf, icu::UnicodeString &out, UErrorCode &e) {
                              nf.format(icu::StringPiece(digits), out, nullptr, e);
                          });
}

VelString VelLocale::toCurrencyString(double value, const VelString &symbol) const
{
    VelVariant answer;
    if (symbol.isEmpty() && askSystem(QueryCurrencyToString, VelVariant(value), &answer))
        return answer.toString();
    if (m_isC) {
        const VelString number = toString(value, 'f', 2);
        return symbol.isEmpty() ? number : symbol + " " + number;
    }
    return formatCurrency(icuName(), symbol, false,
                          [value](icu::NumberFormat &nf, icu::UnicodeString &out, UErrorCode &) {
                              nf.format(value, out);
                          });
}

VelString VelLocale::quoteString(const VelString &text, QuotationStyle style) const
{
    VelVariant answer;
    const int query = style == StandardQuotation ? QueryStandardQuotation : QueryAlternateQuotation;
    if (askSystem(query, VelVariant::fromValue(VelStringRef(text)), &answer))
        return answer.toString();
    UErrorCode error = U_ZERO_ERROR;
    ULocaleData *data = ulocdata_open(icuName(), &error);
    UChar open[8] = {0};
    UChar close[8] = {0};
    const bool standard = style == StandardQuotation;
    const int32_t openLength = ulocdata_getDelimiter(
        data, standard ? ULOCDATA_QUOTATION_START : ULOCDATA_ALT_QUOTATION_START, open, 8, &error);
    const int32_t closeLength = ulocdata_getDelimiter(
        data, standard ? ULOCDATA_QUOTATION_END : ULOCDATA_ALT_QUOTATION_END, close, 8, &error);
    if (data)
        ulocdata_close(data);
    if (U_FAILURE(error))
        return standard ? VelString(u"\u201C") + text + VelString(u"\u201D")
                        : VelString(u"\u2018") + text + VelString(u"\u2019");
    return VelString(reinterpret_cast<const char16_t *>(open), openLength) + text +
           VelString(reinterpret_cast<const char16_t *>(close), closeLength);
}

VelString VelLocale::createSeparatedList(const VelStringList &list) const
{
    VelVariant answer;
    if (askSystem(QueryListToSeparatedString, VelVariant(list), &answer))
        return answer.toString();
    UErrorCode error = U_ZERO_ERROR;
    std::unique_ptr<icu::ListFormatter> formatter(
        icu::ListFormatter::createInstance(icu::Locale(icuName()), error));
    if (U_FAILURE(error) || !formatter)
        return list.join(VelString(", "));
    std::vector<icu::UnicodeString> items;
    for (const VelString &s : list)
        items.push_back(toIcu(s));
    icu::UnicodeString out;
    formatter->format(items.data(), int32_t(items.size()), out, error);
    return U_FAILURE(error) ? list.join(VelString(", ")) : fromIcu(out);
}
