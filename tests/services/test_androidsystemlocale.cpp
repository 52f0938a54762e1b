// The system locale over a real Java VM: the activity configuration's locale
// read on the host's locale-changed query, answers from ICU's data for it,
// failed reads, the legacy language codes, queries racing a refresh, and the
// locale-change event.

#include "servicestestsupport.h"

#include "velandroidsystemlocale.h"

#include "velcoreapplication.h"
#include "velcoreevent.h"
#include "veldate.h"
#include "veldatetime.h"
#include "vellocale.h"
#include "velstringref.h"
#include "veltime.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{

using ServicesTest::clearException;
using ServicesTest::driver;
using Q = VelSystemLocale;

// Sets the activity configuration's locale: new Locale(language, country),
// or null when language is null.
void setConfigurationLocale(const char *language, const char *country = "")
{
    JNIEnv *env = VelJavaVm::env();
    const auto checked = [env](auto result) {
        EXPECT_FALSE(clearException(env));
        return result;
    };
    jclass velNative = checked(env->FindClass("org/vel/android/VelNative"));
    jobject activity = checked(env->CallStaticObjectMethod(
        velNative, env->GetStaticMethodID(velNative, "activity", "()Landroid/app/Activity;")));
    jclass wrapper = checked(env->FindClass("android/content/ContextWrapper"));
    jobject resources = checked(env->CallObjectMethod(
        activity, env->GetMethodID(wrapper, "getResources", "()Landroid/content/res/Resources;")));
    jclass resourcesClass = checked(env->FindClass("android/content/res/Resources"));
    jobject configuration = checked(env->CallObjectMethod(
        resources, env->GetMethodID(resourcesClass, "getConfiguration",
                                    "()Landroid/content/res/Configuration;")));
    jclass configurationClass = checked(env->FindClass("android/content/res/Configuration"));
    jfieldID field = env->GetFieldID(configurationClass, "locale", "Ljava/util/Locale;");
    jobject locale = nullptr;
    if (language) {
        jclass localeClass = checked(env->FindClass("java/util/Locale"));
        jstring l = env->NewStringUTF(language);
        jstring c = env->NewStringUTF(country);
        locale = checked(env->NewObject(
            localeClass,
            env->GetMethodID(localeClass, "<init>", "(Ljava/lang/String;Ljava/lang/String;)V"), l,
            c));
        env->DeleteLocalRef(l);
        env->DeleteLocalRef(c);
        env->DeleteLocalRef(localeClass);
    }
    env->SetObjectField(configuration, field, locale);
    EXPECT_FALSE(clearException(env));
    for (jobject ref :
         {jobject(velNative), activity, jobject(wrapper), resources, jobject(resourcesClass),
          configuration, jobject(configurationClass), locale}) {
        if (ref)
            env->DeleteLocalRef(ref);
    }
}

class SystemLocaleTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(ServicesTest::loadPlugin());
        static int argc = 1;
        static char name[] = "services_test_systemlocale";
        static char *argv[] = {name, nullptr};
        app = new VelCoreApplication(argc, argv);
    }

    void SetUp() override
    {
        ASSERT_TRUE(ServicesTest::loadPlugin());
        setConfigurationLocale("de", "CH");
        backend.reset(new VelAndroidSystemLocale);
    }
    void TearDown() override
    {
        backend.reset();
        VelAndroidSystemLocale::setRefreshHookForTesting(nullptr);
    }

    VelVariant ask(Q::QueryType type, const VelVariant &in = VelVariant()) const
    {
        return backend->query(type, in);
    }
    void refresh() { EXPECT_FALSE(ask(Q::LocaleChanged).isValid()); }

    std::unique_ptr<VelAndroidSystemLocale> backend;
    static VelCoreApplication *app;
};

VelCoreApplication *SystemLocaleTest::app = nullptr;

TEST_F(SystemLocaleTest, TheCLocaleUntilTheFirstRefreshThenTheConfigurationsLocale)
{
    EXPECT_TRUE(backend->fallbackUiLocale().isC());
    refresh();
    EXPECT_EQ(backend->fallbackUiLocale().name(), VelString("de_CH"));
}

TEST_F(SystemLocaleTest, NumbersDatesAndMoneyComeFromIcuForDeCh)
{
    refresh();
    const VelLocale deCh("de_CH");
    EXPECT_EQ(ask(Q::DecimalPoint).toString(), VelString("."));
    EXPECT_EQ(ask(Q::GroupSeparator).toString(), deCh.groupSeparator());
    EXPECT_NE(ask(Q::GroupSeparator).toString(), VelLocale::c().groupSeparator());
    EXPECT_EQ(ask(Q::ZeroDigit).toString(), VelString("0"));
    EXPECT_EQ(ask(Q::NegativeSign).toString(), deCh.negativeSign());
    EXPECT_EQ(ask(Q::PositiveSign).toString(), deCh.positiveSign());
    EXPECT_EQ(ask(Q::DateFormatLong).toString(), deCh.dateFormat(VelLocale::LongFormat));
    EXPECT_EQ(ask(Q::DateFormatShort).toString(), deCh.dateFormat(VelLocale::ShortFormat));
    EXPECT_NE(ask(Q::DateFormatLong).toString(), ask(Q::DateFormatShort).toString());
    EXPECT_EQ(ask(Q::TimeFormatShort).toString(), deCh.timeFormat(VelLocale::ShortFormat));
    EXPECT_EQ(ask(Q::DateTimeFormatLong).toString(), deCh.dateTimeFormat(VelLocale::LongFormat));

    const VelDate date(2026, 3, 14);
    EXPECT_EQ(ask(Q::DateToStringShort, VelVariant(date)).toString(),
              deCh.toString(date, VelLocale::ShortFormat));
    EXPECT_EQ(ask(Q::DayNameLong, VelVariant(1)).toString(), VelString("Montag"));
    EXPECT_EQ(ask(Q::MonthNameLong, VelVariant(3)).toString(), VelString(u"M\u00e4rz"));
    EXPECT_EQ(ask(Q::StandaloneMonthNameShort, VelVariant(3)).toString(),
              deCh.standaloneMonthName(3, VelLocale::ShortFormat));
    EXPECT_EQ(ask(Q::FirstDayOfWeek).toInt(), 1);

    EXPECT_EQ(ask(Q::CurrencySymbol, VelVariant(uint(VelLocale::CurrencyIsoCode))).toString(),
              VelString("CHF"));
    EXPECT_EQ(ask(Q::CurrencyToString, VelVariant(5)).toString(), deCh.toCurrencyString(5));
    EXPECT_TRUE(ask(Q::CurrencyToString, VelVariant(5)).toString().contains(VelString("CHF")));
    EXPECT_EQ(ask(Q::CurrencyToString, VelVariant(1234.5)).toString(),
              deCh.toCurrencyString(1234.5));
    EXPECT_EQ(ask(Q::CurrencyToString, VelVariant(uint(7))).toString(),
              deCh.toCurrencyString(uint(7)));
    // A type that is no amount of money gives an empty (but valid) answer.
    const VelVariant boolean = ask(Q::CurrencyToString, VelVariant(true));
    EXPECT_TRUE(boolean.isValid());
    EXPECT_TRUE(boolean.toString().isEmpty());

    EXPECT_EQ(
        ask(Q::StringToStandardQuotation, VelVariant::fromValue(VelStringRef(VelString("Zitat"))))
            .toString(),
        deCh.quoteString(VelString("Zitat")));
    EXPECT_EQ(ask(Q::ListToSeparatedString,
                  VelVariant(VelStringList() << VelString("a") << VelString("b") << VelString("c")))
                  .toString(),
              deCh.createSeparatedList(VelStringList()
                                       << VelString("a") << VelString("b") << VelString("c")));
}

TEST_F(SystemLocaleTest, QueriesLeftToTheHostAreInvalid)
{
    refresh();
    for (int type : {0, 1, 22, 27, 30, 33, 36, 37, 40, 1000})
        EXPECT_FALSE(ask(Q::QueryType(type)).isValid()) << type;
}

TEST_F(SystemLocaleTest, TheHostAnswersThroughTheInstalledBackend)
{
    EXPECT_EQ(VelLocale::system().groupSeparator(), VelLocale("de_CH").groupSeparator());
    EXPECT_EQ(VelLocale::system().toCurrencyString(5), VelLocale("de_CH").toCurrencyString(5));
    // Left to the host: answered from the fallback locale's data.
    EXPECT_EQ(VelLocale::system().languageCode(), VelString("de"));
    EXPECT_EQ(VelLocale::system().countryCode(), VelString("CH"));
}

TEST_F(SystemLocaleTest, AFailedReadKeepsThePreviousLocale)
{
    refresh();
    setConfigurationLocale(nullptr);
    refresh();
    EXPECT_EQ(backend->fallbackUiLocale().name(), VelString("de_CH"));
    setConfigurationLocale("fr", "FR");
    refresh();
    EXPECT_EQ(backend->fallbackUiLocale().name(), VelString("fr_FR"));
}

TEST_F(SystemLocaleTest, ALocaleWithoutACountryUsesTheLanguagesMainCountry)
{
    setConfigurationLocale("de", "");
    refresh();
    EXPECT_EQ(backend->fallbackUiLocale().languageCode(), VelString("de"));
    EXPECT_EQ(ask(Q::DecimalPoint).toString(), VelString(","));
}

TEST_F(SystemLocaleTest, LegacyJavaLanguageCodesBecomeTheCurrentOnes)
{
    EXPECT_EQ(VelAndroidSystemLocale::localeName(VelString("iw"), VelString("IL")),
              VelString("he_IL"));
    EXPECT_EQ(VelAndroidSystemLocale::localeName(VelString("in"), VelString("ID")),
              VelString("id_ID"));
    EXPECT_EQ(VelAndroidSystemLocale::localeName(VelString("ji"), VelString()), VelString("yi_"));
    EXPECT_EQ(VelAndroidSystemLocale::localeName(VelString("de"), VelString("CH")),
              VelString("de_CH"));
    // Whatever Java reports for Hebrew, the locale is Hebrew.
    setConfigurationLocale("iw", "IL");
    refresh();
    EXPECT_EQ(backend->fallbackUiLocale().languageCode(), VelString("he"));
}

std::atomic<VelAndroidSystemLocale *> hookBackend{nullptr};
std::atomic<bool> hookQueryAnswered{false};

TEST_F(SystemLocaleTest, AQueryMadeWhileARefreshIsUnderWayDoesNotWaitForIt)
{
    refresh();
    setConfigurationLocale("fr", "CH");
    hookBackend = backend.get();
    hookQueryAnswered = false;
    // Between Java's answer and the swap, another thread asks and must get
    // its answer (the previous locale's) before the refresh can go on.
    VelAndroidSystemLocale::setRefreshHookForTesting([] {
        std::thread other([] {
            hookQueryAnswered =
                hookBackend.load()->query(Q::DecimalPoint, VelVariant()).toString() ==
                VelString(".");
        });
        other.join();
    });
    refresh();
    EXPECT_TRUE(hookQueryAnswered);
    EXPECT_EQ(backend->fallbackUiLocale().name(), VelString("fr_CH"));
}

TEST_F(SystemLocaleTest, QueriesFromManyThreadsWhileRefreshingSeeOneLocaleOrTheOther)
{
    refresh();
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::mutex badMutex;
    std::string firstBad;
    std::vector<std::thread> readers;
    for (int i = 0; i < 3; ++i) {
        readers.emplace_back([&] {
            while (!stop) {
                const VelString name = backend->fallbackUiLocale().name();
                if (name != VelString("de_CH") && name != VelString("fr_CH")) {
                    std::lock_guard<std::mutex> lock(badMutex);
                    if (bad++ == 0)
                        firstBad = name.toStdString();
                }
                (void)backend->query(Q::GroupSeparator, VelVariant());
            }
        });
    }
    for (int i = 0; i < 50; ++i) {
        setConfigurationLocale(i % 2 ? "de" : "fr", "CH");
        std::thread refresher([&] { backend->query(Q::LocaleChanged, VelVariant()); });
        refresher.join();
    }
    stop = true;
    for (std::thread &reader : readers)
        reader.join();
    EXPECT_EQ(bad.load(), 0) << "first seen: " << firstBad;
}

struct LocaleChangeCounter : VelObject {
    bool eventFilter(VelObject *, VelEvent *event) override
    {
        if (event->type() == VelEvent::LocaleChange)
            ++count;
        return false;
    }
    int count = 0;
};

TEST_F(SystemLocaleTest, TheApplicationHearsOfAChangeAndOnlyOfAChange)
{
    // Changes announced by the cases before are not this case's.
    VelCoreApplication::sendPostedEvents();
    LocaleChangeCounter counter;
    app->installEventFilter(&counter);
    // The first read replaces a C locale that nobody was shown.
    refresh();
    VelCoreApplication::sendPostedEvents();
    EXPECT_EQ(counter.count, 0);
    refresh(); // the same locale again
    VelCoreApplication::sendPostedEvents();
    EXPECT_EQ(counter.count, 0);
    setConfigurationLocale("it", "CH");
    refresh();
    VelCoreApplication::sendPostedEvents();
    EXPECT_EQ(counter.count, 1);
    app->removeEventFilter(&counter);
}

} // namespace
