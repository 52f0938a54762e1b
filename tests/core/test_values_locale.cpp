#include "veldatetime.h"
#include "vellocale.h"
#include "velvariant.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>

void PrintTo(const VelString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace
{

// The expected texts are what ICU 72's data says for these locales, down to
// its no-break spaces (U+00A0 before amounts, U+202F before AM/PM).
VelString u(const char16_t *s)
{
    return VelString(s);
}

TEST(VelLocaleTest, NamesWithEmptyPartsResolve)
{
    EXPECT_EQ(VelLocale("de_CH").name(), VelString("de_CH"));
    EXPECT_EQ(VelLocale("_CH").name(), VelString("de_CH")); // the country's main language
    EXPECT_EQ(VelLocale("de").name(), VelString("de_DE"));  // the language's main country
    EXPECT_EQ(VelLocale("de_").name(), VelString("de_DE"));
    EXPECT_EQ(VelLocale("de-ch.UTF-8@euro").name(), VelString("de_CH"));
    EXPECT_TRUE(VelLocale("").isC());
    EXPECT_TRUE(VelLocale("_").isC());
    EXPECT_TRUE(VelLocale("POSIX").isC());
    EXPECT_TRUE(VelLocale("xx_YY").isC());                    // no data for the language
    EXPECT_EQ(VelLocale("de_ZZ").name(), VelString("de_DE")); // unknown country dropped
    EXPECT_EQ(VelLocale::c().name(), VelString("C"));
    EXPECT_EQ(VelLocale("de_CH"), VelLocale("_CH"));
    EXPECT_NE(VelLocale("de_CH"), VelLocale("de_DE"));

    const VelLocale ch("de_CH");
    EXPECT_EQ(ch.languageCode(), VelString("de"));
    EXPECT_EQ(ch.countryCode(), VelString("CH"));
    EXPECT_EQ(ch.scriptCode(), VelString("Latn"));
    EXPECT_EQ(ch.bcp47Name(), VelString("de-CH"));
    EXPECT_EQ(ch.nativeLanguageName(), VelString("Deutsch"));
    EXPECT_EQ(ch.nativeCountryName(), VelString("Schweiz"));
    EXPECT_EQ(ch.uiLanguages(), (VelStringList{VelString("de-CH"), VelString("de")}));
}

TEST(VelLocaleTest, SwissGermanNumbersAndMoney)
{
    const VelLocale ch("de_CH");
    EXPECT_EQ(ch.decimalPoint(), VelString("."));
    EXPECT_EQ(ch.groupSeparator(), u(u"\u2019")); // right single quotation mark
    EXPECT_EQ(ch.zeroDigit(), VelString("0"));
    EXPECT_EQ(ch.negativeSign(), VelString("-"));
    EXPECT_EQ(ch.positiveSign(), VelString("+"));
    EXPECT_EQ(ch.toString(1234567LL), u(u"1\u2019234\u2019567"));

    EXPECT_EQ(ch.currencySymbol(VelLocale::CurrencyIsoCode), VelString("CHF"));
    EXPECT_EQ(ch.currencySymbol(VelLocale::CurrencySymbol), VelString("CHF"));
    EXPECT_EQ(ch.currencySymbol(VelLocale::CurrencyDisplayName), VelString("Schweizer Franken"));
    EXPECT_EQ(ch.toCurrencyString(-1234567LL), u(u"CHF-1\u2019234\u2019567"));
    EXPECT_EQ(ch.toCurrencyString(5), u(u"CHF\u00a05"));
    // Beyond the signed range: must not wrap to a negative amount.
    EXPECT_EQ(ch.toCurrencyString(18446744073709551615ULL),
              u(u"CHF\u00a018\u2019446\u2019744\u2019073\u2019709\u2019551\u2019615"));
    EXPECT_EQ(ch.toCurrencyString(1234.5), u(u"CHF\u00a01\u2019234.50"));
    EXPECT_EQ(ch.toCurrencyString(5, VelString("Fr.")), u(u"Fr.\u00a05"));

    // Germany differs in every separator.
    const VelLocale de("de_DE");
    EXPECT_EQ(de.decimalPoint(), VelString(","));
    EXPECT_EQ(de.groupSeparator(), VelString("."));
    EXPECT_EQ(de.toCurrencyString(1234.5), u(u"1.234,50\u00a0\u20ac"));
}

TEST(VelLocaleTest, SwissGermanCalendarTexts)
{
    const VelLocale ch("de_CH");
    EXPECT_EQ(ch.dayName(1), VelString("Montag")); // Monday first
    EXPECT_EQ(ch.dayName(7), VelString("Sonntag"));
    EXPECT_EQ(ch.dayName(7, VelLocale::ShortFormat), VelString("So."));
    EXPECT_EQ(ch.standaloneDayName(3), VelString("Mittwoch"));
    EXPECT_TRUE(ch.dayName(0).isEmpty());
    EXPECT_TRUE(ch.dayName(8).isEmpty());
    EXPECT_EQ(ch.monthName(3), u(u"M\u00e4rz"));
    EXPECT_EQ(ch.monthName(12), VelString("Dezember"));
    // Abbreviations differ between running text and standalone use.
    EXPECT_EQ(ch.monthName(3, VelLocale::ShortFormat), u(u"M\u00e4rz"));
    EXPECT_EQ(ch.standaloneMonthName(3, VelLocale::ShortFormat), u(u"M\u00e4r"));
    EXPECT_EQ(ch.monthName(1, VelLocale::ShortFormat), VelString("Jan."));
    EXPECT_TRUE(ch.monthName(13).isEmpty());
    EXPECT_EQ(ch.amText(), VelString("AM"));
    EXPECT_EQ(ch.pmText(), VelString("PM"));
    EXPECT_EQ(ch.firstDayOfWeek(), Vel::Monday);
    EXPECT_EQ(ch.weekdays(), (VelList<Vel::DayOfWeek>{Vel::Monday, Vel::Tuesday, Vel::Wednesday,
                                                      Vel::Thursday, Vel::Friday}));
    EXPECT_EQ(ch.measurementSystem(), VelLocale::MetricSystem);
    EXPECT_EQ(ch.quoteString(VelString("x")), u(u"\u201ex\u201c"));
    EXPECT_EQ(ch.quoteString(VelString("x"), VelLocale::AlternateQuotation), u(u"\u201ax\u2018"));
    EXPECT_EQ(ch.createSeparatedList({VelString("a"), VelString("b"), VelString("c")}),
              VelString("a, b und c"));
}

TEST(VelLocaleTest, FormatsAreConvertedToHostPatterns)
{
    const VelLocale ch("de_CH");
    EXPECT_EQ(ch.dateFormat(VelLocale::LongFormat), VelString("dddd, d. MMMM yyyy"));
    EXPECT_EQ(ch.dateFormat(VelLocale::ShortFormat), VelString("dd.MM.yy"));
    EXPECT_EQ(ch.timeFormat(VelLocale::LongFormat), VelString("HH:mm:ss t"));
    EXPECT_EQ(ch.timeFormat(VelLocale::ShortFormat), VelString("HH:mm"));
    // ICU's literal "um" stays literal text, quoted so its letters are not fields.
    EXPECT_EQ(ch.dateTimeFormat(VelLocale::LongFormat),
              VelString("dddd, d. MMMM yyyy' um 'HH:mm:ss t"));

    const VelDate date(2024, 3, 9);
    const VelDateTime utc(date, VelTime(14, 5, 7), Vel::UTC);
    EXPECT_EQ(ch.toString(date), u(u"Samstag, 9. M\u00e4rz 2024"));
    EXPECT_EQ(ch.toString(date, VelLocale::ShortFormat), VelString("09.03.24"));
    EXPECT_EQ(ch.toString(utc), u(u"Samstag, 9. M\u00e4rz 2024 um 14:05:07 UTC"));
    EXPECT_EQ(ch.toString(utc, VelLocale::ShortFormat), VelString("09.03.24, 14:05"));

    const VelLocale us("en_US");
    EXPECT_EQ(us.timeFormat(VelLocale::ShortFormat), u(u"h:mm\u202fAP"));
    EXPECT_EQ(us.toString(VelTime(0, 5), VelLocale::ShortFormat), u(u"12:05\u202fAM"));
    EXPECT_EQ(us.toString(VelTime(13, 5), VelLocale::ShortFormat), u(u"1:05\u202fPM"));
    EXPECT_EQ(us.firstDayOfWeek(), Vel::Sunday);
    EXPECT_EQ(us.measurementSystem(), VelLocale::ImperialUSSystem);
}

TEST(VelLocaleTest, HostPatternQuotingAndFields)
{
    const VelLocale c = VelLocale::c();
    const VelDate date(2024, 3, 9);
    EXPECT_EQ(c.toString(date, VelString("'day' d 'of' MMMM, ''yy")),
              VelString("day 9 of March, '24"));
    EXPECT_EQ(c.toString(date, VelString("ddd dd.MM.yyyy")), VelString("Sat 09.03.2024"));
    EXPECT_EQ(c.toString(VelTime(9, 3, 4, 56), VelString("H:mm:ss.zzz ap")),
              VelString("9:03:04.056 am"));
    // Without AP, h is the 24-hour clock.
    EXPECT_EQ(c.toString(VelTime(21, 0), VelString("hh:mm")), VelString("21:00"));
    EXPECT_EQ(c.toString(VelTime(21, 0), VelString("hh:mm AP")), VelString("09:00 PM"));
    // Fields a time does not have stay literal.
    EXPECT_EQ(c.toString(VelTime(21, 0), VelString("HH yyyy")), VelString("21 yyyy"));
    EXPECT_TRUE(c.toString(VelDate(), VelString("yyyy")).isEmpty());
    EXPECT_EQ(c.currencySymbol(), VelString());
}

// The system locale asks the installed hook first and falls back to its locale.
VelVariant swissQuery(int type, const VelVariant &in)
{
    if (type == 2)
        return VelVariant(VelString(","));
    if (type == 10)
        return VelVariant(VelString("Tag ") + in.toString());
    return VelVariant();
}

VelLocale swissFallback()
{
    return VelLocale("de_CH");
}

TEST(VelLocaleTest, SystemLocaleUsesHooksThenEnvironment)
{
    VelLocale::setSystemLocaleHooks(&swissQuery, &swissFallback);
    const VelLocale sys = VelLocale::system();
    EXPECT_TRUE(sys.isSystem());
    EXPECT_EQ(sys.decimalPoint(), VelString(","));         // answered by the hook
    EXPECT_EQ(sys.groupSeparator(), VelString(u"\u2019")); // from the fallback locale
    EXPECT_EQ(sys.dayName(3), VelString("Tag 3"));
    EXPECT_EQ(sys.name(), VelString("de_CH"));
    // A locale built by name never asks the hook.
    EXPECT_EQ(VelLocale("de_CH").decimalPoint(), VelString("."));
    VelLocale::setSystemLocaleHooks(nullptr, nullptr);

    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    ::setenv("LANG", "fr_FR.UTF-8", 1);
    EXPECT_EQ(VelLocale::system().name(), VelString("fr_FR"));
    ::setenv("LC_ALL", "de_CH.UTF-8", 1);
    EXPECT_EQ(VelLocale::system().name(), VelString("de_CH"));
    ::unsetenv("LC_ALL");
    ::setenv("LANG", "C", 1);
    EXPECT_TRUE(VelLocale::system().isC());
}

TEST(VelLocaleTest, DefaultLocaleIsSettable)
{
    EXPECT_TRUE(VelLocale().isC());
    VelLocale::setDefault(VelLocale("fr_FR"));
    EXPECT_EQ(VelLocale().name(), VelString("fr_FR"));
    VelLocale::setDefault(VelLocale::c());
    EXPECT_TRUE(VelLocale().isC());
}

TEST(VelLocaleTest, NativeDigitsAndSignsReachFormattedDates)
{
    // Egyptian Arabic uses Arabic-Indic digits and marks around its signs.
    const VelLocale eg("ar_EG");
    EXPECT_EQ(eg.zeroDigit(), u(u"\u0660"));
    EXPECT_EQ(eg.negativeSign(), u(u"\u061c-"));
    EXPECT_EQ(eg.decimalPoint(), u(u"\u066b"));
    EXPECT_EQ(eg.toString(VelDate(2024, 3, 9), VelString("dd/MM/yyyy")),
              u(u"\u0660\u0669/\u0660\u0663/\u0662\u0660\u0662\u0664"));
    EXPECT_EQ(eg.toString(-1.5, 'f', 1), u(u"\u061c-\u0661\u066b\u0665"));
}

TEST(VelLocaleTest, QuotedLiteralsInIcuPatternsSurvive)
{
    // Spanish long dates carry the literal word "de" between fields; it must
    // come out as text, not as a day field.
    const VelLocale es("es_ES");
    EXPECT_EQ(es.dateFormat(VelLocale::LongFormat), VelString("dddd, d' de 'MMMM' de 'yyyy"));
    EXPECT_EQ(es.toString(VelDate(2024, 3, 9)), VelString("s\u00e1bado, 9 de marzo de 2024"));
}

VelVariant wrongTypeQuery(int type, const VelVariant &)
{
    if (type == 26)
        return VelVariant(VelString("not a day")); // first day of week as text
    if (type == 0)
        return VelVariant(42); // language as a number, not a code
    return VelVariant();
}

TEST(VelLocaleTest, UnusableHookAnswersFallBackToLocaleData)
{
    VelLocale::setSystemLocaleHooks(&wrongTypeQuery, nullptr);
    ::setenv("LC_ALL", "en_US.UTF-8", 1);
    const VelLocale sys = VelLocale::system();
    EXPECT_EQ(sys.firstDayOfWeek(), Vel::Sunday); // from en_US, not from the text
    EXPECT_EQ(sys.languageCode(), VelString("en"));
    VelLocale::setSystemLocaleHooks(nullptr, nullptr);
    ::unsetenv("LC_ALL");
}

} // namespace
