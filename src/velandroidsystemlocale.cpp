#include "velandroidsystemlocale.h"

#include "androidjnimain.h"

#include "velcoreapplication.h"
#include "velcoreevent.h"
#include "veldatetime.h"
#include "veljniobject.h"
#include "velstringref.h"

#include <atomic>

namespace
{

std::atomic<VelAndroidSystemLocale::RefreshHook> refreshHook{nullptr};

VelString legacyLanguageFixed(const VelString &language)
{
    if (language == VelString("iw"))
        return VelString("he");
    if (language == VelString("in"))
        return VelString("id");
    if (language == VelString("ji"))
        return VelString("yi");
    return language;
}

// A null Java string is an empty one.
VelString stringOf(const VelJNIObjectPrivate &string)
{
    return string.isValid() ? string.toString() : VelString();
}

VelJNIObjectPrivate configurationLocale()
{
    const VelJNIObjectPrivate activity(VelAndroid::activity());
    if (!activity.isValid())
        return VelJNIObjectPrivate::callStaticObjectMethod("java/util/Locale", "getDefault",
                                                           "()Ljava/util/Locale;");
    const VelJNIObjectPrivate resources =
        activity.callObjectMethod("getResources", "()Landroid/content/res/Resources;");
    if (!resources.isValid())
        return VelJNIObjectPrivate();
    const VelJNIObjectPrivate configuration =
        resources.callObjectMethod("getConfiguration", "()Landroid/content/res/Configuration;");
    if (!configuration.isValid())
        return VelJNIObjectPrivate();
    return configuration.getObjectField("locale", "Ljava/util/Locale;");
}

// False when Java could not be asked or gave no locale; the wrapper has
// cleared any exception on the way.
bool readAndroidLocaleName(VelString *name)
{
    const VelJNIObjectPrivate locale = configurationLocale();
    if (!locale.isValid())
        return false;
    const VelString language =
        stringOf(locale.callObjectMethod("getLanguage", "()Ljava/lang/String;"));
    const VelString country =
        stringOf(locale.callObjectMethod("getCountry", "()Ljava/lang/String;"));
    *name = VelAndroidSystemLocale::localeName(language, country);
    return true;
}

VelLocale::FormatType formOf(VelSystemLocale::QueryType type, VelSystemLocale::QueryType longForm)
{
    return type == longForm ? VelLocale::LongFormat : VelLocale::ShortFormat;
}

VelVariant currencyString(const VelLocale &locale, const VelVariant &in)
{
    switch (in.userType()) {
    case VelMetaType::Int:
    case VelMetaType::LongLong:
        return VelVariant(locale.toCurrencyString(in.toLongLong()));
    case VelMetaType::UInt:
    case VelMetaType::ULongLong:
        return VelVariant(locale.toCurrencyString(in.toULongLong()));
    case VelMetaType::Double:
        return VelVariant(locale.toCurrencyString(in.toDouble()));
    default:
        return VelVariant(VelString());
    }
}

void announceLocaleChange()
{
    if (VelCoreApplication *app = VelCoreApplication::instance())
        VelCoreApplication::postEvent(app, new VelEvent(VelEvent::LocaleChange));
}

} // namespace

VelAndroidSystemLocale::VelAndroidSystemLocale() : m_locale(VelLocale::c()) {}

VelAndroidSystemLocale::~VelAndroidSystemLocale()
{
    // Queries other threads are making read m_locale: they end first.
    uninstall();
}

VelString VelAndroidSystemLocale::localeName(const VelString &language, const VelString &country)
{
    return legacyLanguageFixed(language) + VelString("_") + country;
}

void VelAndroidSystemLocale::setRefreshHookForTesting(RefreshHook hook)
{
    refreshHook = hook;
}

VelLocale VelAndroidSystemLocale::fallbackUiLocale() const
{
    VelReadLocker lock(&m_lock);
    return m_locale;
}

VelVariant VelAndroidSystemLocale::query(QueryType type, VelVariant in) const
{
    if (type == LocaleChanged) {
        refresh();
        return VelVariant();
    }
    const VelLocale locale = fallbackUiLocale();
    return answer(locale, type, in);
}

void VelAndroidSystemLocale::refresh() const
{
    VelString name;
    if (!readAndroidLocaleName(&name))
        return; // keep what we had rather than fall back to C
    const VelLocale fresh(name);
    if (RefreshHook hook = refreshHook.load())
        hook();
    bool changed = false;
    {
        VelWriteLocker lock(&m_lock);
        // The first read replaces the C locale nobody was shown: no change.
        changed = m_read && fresh != m_locale;
        m_locale = fresh;
        m_read = true;
    }
    if (changed)
        announceLocaleChange();
}

VelVariant VelAndroidSystemLocale::answer(const VelLocale &locale, QueryType type,
                                          const VelVariant &in) const
{
    switch (type) {
    case DecimalPoint:
        return VelVariant(locale.decimalPoint());
    case GroupSeparator:
        return VelVariant(locale.groupSeparator());
    case ZeroDigit:
        return VelVariant(locale.zeroDigit());
    case NegativeSign:
        return VelVariant(locale.negativeSign());
    case PositiveSign:
        return VelVariant(locale.positiveSign());
    case DateFormatLong:
    case DateFormatShort:
        return VelVariant(locale.dateFormat(formOf(type, DateFormatLong)));
    case TimeFormatLong:
    case TimeFormatShort:
        return VelVariant(locale.timeFormat(formOf(type, TimeFormatLong)));
    case DateTimeFormatLong:
    case DateTimeFormatShort:
        return VelVariant(locale.dateTimeFormat(formOf(type, DateTimeFormatLong)));
    case DayNameLong:
    case DayNameShort:
        return VelVariant(locale.dayName(in.toInt(), formOf(type, DayNameLong)));
    case MonthNameLong:
    case MonthNameShort:
        return VelVariant(locale.monthName(in.toInt(), formOf(type, MonthNameLong)));
    case StandaloneMonthNameLong:
    case StandaloneMonthNameShort:
        return VelVariant(
            locale.standaloneMonthName(in.toInt(), formOf(type, StandaloneMonthNameLong)));
    case DateToStringLong:
    case DateToStringShort:
        return VelVariant(locale.toString(in.toDate(), formOf(type, DateToStringLong)));
    case TimeToStringLong:
    case TimeToStringShort:
        return VelVariant(locale.toString(in.toTime(), formOf(type, TimeToStringLong)));
    case DateTimeToStringLong:
    case DateTimeToStringShort:
        return VelVariant(locale.toString(in.toDateTime(), formOf(type, DateTimeToStringLong)));
    case AMText:
        return VelVariant(locale.amText());
    case PMText:
        return VelVariant(locale.pmText());
    case FirstDayOfWeek:
        return VelVariant(int(locale.firstDayOfWeek()));
    case CurrencySymbol:
        return VelVariant(locale.currencySymbol(VelLocale::CurrencySymbolFormat(in.toUInt())));
    case CurrencyToString:
        return currencyString(locale, in);
    case StringToStandardQuotation:
        return VelVariant(
            locale.quoteString(in.value<VelStringRef>().toString(), VelLocale::StandardQuotation));
    case StringToAlternateQuotation:
        return VelVariant(
            locale.quoteString(in.value<VelStringRef>().toString(), VelLocale::AlternateQuotation));
    case ListToSeparatedString:
        return VelVariant(locale.createSeparatedList(
            in.canConvert<VelStringList>() ? in.toStringList() : VelStringList()));
    default:
        // The host answers these from fallbackUiLocale().
        return VelVariant();
    }
}
