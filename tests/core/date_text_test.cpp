// The date the program writes: digits in fixed columns in every locale, with only the
// order of day and month taken from the locale.
#include "core/text.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace celvio::testing {
namespace {

TEST(DateText, DigitsInFixedColumnsInTheLocalesOrder)
{
    const struct {
        const char* locale;
        const char* december8;  // 8 December 2026
        const char* march5;     // 5 March 2031
    } cases[] = {
        // A plain install: the short format names the month ("8 Dec 2026"), day first.
        {"C", "08.12.2026", "05.03.2031"},
        {"C.UTF-8", "08.12.2026", "05.03.2031"},
        {"POSIX", "08.12.2026", "05.03.2031"},
        // Two-digit years and single-digit days and months become the fixed form.
        {"de_DE", "08.12.2026", "05.03.2031"},
        {"en_US", "12/08/2026", "03/05/2031"},
        {"es_US", "08.12.2026", "05.03.2031"},
        // Day first with another separator: the dot, which says "day first" to a reader.
        {"en_GB", "08.12.2026", "05.03.2031"},
        {"nl_NL", "08.12.2026", "05.03.2031"},
        // Year first: the fallback. Quoted text in the format and native digits change nothing.
        {"ja_JP", "08.12.2026", "05.03.2031"},
        {"hu_HU", "08.12.2026", "05.03.2031"},
        {"bg_BG", "08.12.2026", "05.03.2031"},
        {"ar_EG", "08.12.2026", "05.03.2031"},
        {"fa_IR", "08.12.2026", "05.03.2031"},
    };
    for (const auto& c : cases) {
        const QLocale locale(QLatin1String(c.locale));
        EXPECT_EQ(DateText(QDate(2026, 12, 8), locale), QLatin1String(c.december8)) << c.locale;
        EXPECT_EQ(DateText(QDate(2031, 3, 5), locale), QLatin1String(c.march5)) << c.locale;
    }
    EXPECT_EQ(RegionalDateOrder(QLocale(QLatin1String("en_US"))), DateOrder::MonthFirst);
    EXPECT_EQ(RegionalDateOrder(QLocale::c()), DateOrder::DayFirst);
}

}  // namespace
}  // namespace celvio::testing
