#include "vellocale.h"
#include "velsystemlocale.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace
{

using S = VelSystemLocale;

// A backend that reads "the user's locale" only when told it changed, like
// a bridge to a platform configuration.
class FakeBackend : public VelSystemLocale
{
public:
    explicit FakeBackend(const char *userLocale) : m_user(userLocale) {}
    ~FakeBackend() override = default;

    VelVariant query(QueryType type, VelVariant in) const override
    {
        std::lock_guard<std::mutex> lock(m_mutex); // queries arrive from several threads
        queries.push_back(type);
        switch (type) {
        case LocaleChanged:
            m_current = VelLocale(m_user);
            ++changes;
            return VelVariant();
        case DecimalPoint:
            return VelVariant(m_current.decimalPoint());
        case StringToStandardQuotation:
            return VelVariant(VelString("<") + in.toString() + VelString(">"));
        default:
            return VelVariant(); // the framework falls back to fallbackUiLocale()
        }
    }
    VelLocale fallbackUiLocale() const override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_current;
    }

    void setUserLocale(const char *name)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_user = name;
    }

    mutable std::vector<QueryType> queries;
    mutable int changes = 0;

private:
    mutable std::mutex m_mutex; // guards every member; taken alone
    const char *m_user;
    mutable VelLocale m_current = VelLocale::c();
};

} // namespace

TEST(SystemLocale, QueryNumbersBackendsRelyOn)
{
    EXPECT_EQ(int(S::LanguageId), 0);
    EXPECT_EQ(int(S::DecimalPoint), 2);
    EXPECT_EQ(int(S::DateFormatShort), 7);
    EXPECT_EQ(int(S::MeasurementSystem), 22);
    EXPECT_EQ(int(S::FirstDayOfWeek), 26);
    EXPECT_EQ(int(S::CurrencyToString), 29);
    EXPECT_EQ(int(S::ListToSeparatedString), 34);
    EXPECT_EQ(int(S::LocaleChanged), 35);
    EXPECT_EQ(int(S::StandaloneMonthNameShort), 39);
}

TEST(SystemLocale, WithoutBackendNothingAnswers)
{
    EXPECT_FALSE(S::hasInstalledBackend());
    EXPECT_FALSE(S::systemQuery(S::DecimalPoint, VelVariant()).isValid());
    EXPECT_TRUE(S::systemFallbackUiLocale().isC());
}

TEST(SystemLocale, ConstructionInstallsAndTheBackendIsToldBeforeItsFirstAnswer)
{
    {
        FakeBackend backend("de_CH");
        EXPECT_TRUE(S::hasInstalledBackend());
        EXPECT_EQ(backend.changes, 0) << "nothing is asked during construction";

        const VelVariant point = S::systemQuery(S::DecimalPoint, VelVariant());
        ASSERT_EQ(backend.queries.size(), 2u);
        EXPECT_EQ(backend.queries[0], S::LocaleChanged);
        EXPECT_EQ(backend.queries[1], S::DecimalPoint);
        EXPECT_EQ(point.toString(), VelLocale("de_CH").decimalPoint());
        EXPECT_EQ(S::systemFallbackUiLocale(), VelLocale("de_CH"));
        EXPECT_EQ(backend.changes, 1) << "told once, not on every query";

        // VelLocale::system() reaches the backend and falls back on invalid answers.
        const VelLocale system = VelLocale::system();
        EXPECT_EQ(system.quoteString("x"), VelString("<x>"));
        EXPECT_EQ(system.name(), VelString("de_CH"));
        EXPECT_FALSE(S::systemQuery(S::LanguageId, VelVariant()).isValid());
    }
    EXPECT_FALSE(S::hasInstalledBackend()) << "destruction removes the backend";
    EXPECT_FALSE(S::systemQuery(S::DecimalPoint, VelVariant()).isValid());
}

TEST(SystemLocale, LocaleChangesReachTheBackend)
{
    FakeBackend backend("en_US");
    EXPECT_EQ(S::systemFallbackUiLocale(), VelLocale("en_US"));
    backend.setUserLocale("fr_FR");
    EXPECT_EQ(S::systemFallbackUiLocale(), VelLocale("en_US")) << "not re-read unasked";
    S::notifyLocaleChanged();
    EXPECT_EQ(S::systemFallbackUiLocale(), VelLocale("fr_FR"));
    EXPECT_EQ(backend.changes, 2);
}

TEST(SystemLocale, NewestBackendAnswersAndTheOlderReturnsWhenItGoes)
{
    FakeBackend older("en_GB");
    {
        FakeBackend newer("it_IT");
        EXPECT_EQ(S::systemFallbackUiLocale(), VelLocale("it_IT"));
        EXPECT_TRUE(older.queries.empty());
    }
    EXPECT_EQ(S::systemFallbackUiLocale(), VelLocale("en_GB"));
    EXPECT_TRUE(S::hasInstalledBackend());
}

TEST(SystemLocale, BaseBackendAnswersNothingAndFallsBackToTheEnvironment)
{
    VelSystemLocale base;
    EXPECT_FALSE(base.query(S::DecimalPoint, VelVariant()).isValid());
    EXPECT_FALSE(S::systemQuery(S::LocaleChanged, VelVariant()).isValid());
    setenv("LC_ALL", "", 1);
    setenv("LC_MESSAGES", "pt_BR.UTF-8", 1);
    EXPECT_EQ(base.fallbackUiLocale(), VelLocale("pt_BR"));
    unsetenv("LC_MESSAGES");
    unsetenv("LC_ALL");
    setenv("LANG", "C", 1);
    EXPECT_TRUE(base.fallbackUiLocale().isC());
}

TEST(SystemLocale, QueriesFromManyThreadsWhileInstalled)
{
    FakeBackend backend("de_DE");
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&]() {
            for (int i = 0; i < 200; ++i) {
                const VelString quoted =
                    S::systemQuery(S::StringToStandardQuotation, VelVariant(VelString("q")))
                        .toString();
                if (quoted != VelString("<q>"))
                    ++wrong;
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
}
