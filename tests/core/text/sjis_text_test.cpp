#include "core/text/sjis_text.h"

#include <gtest/gtest.h>

#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;

TEST(TextSjis, DigitRunsStopAtTheCountAndSkipWhatSeparatesThem) {
    using Runs = std::vector<std::string_view>;
    EXPECT_EQ(sjis::DigitRuns("1998年07月05日"_sj, 3), (Runs{"1998", "07", "05"}));
    EXPECT_EQ(sjis::DigitRuns(" 1:05:30 extra 9", 3), (Runs{"1", "05", "30"}));
    EXPECT_EQ(sjis::DigitRuns("(12:3", 5), (Runs{"12", "3"}));
    EXPECT_EQ(sjis::DigitRuns("007", 0), Runs{});
    EXPECT_EQ(sjis::DigitRuns("：　", 2), Runs{});
    EXPECT_EQ(sjis::DigitRuns("", 2), Runs{});
}

TEST(TextSjis, DigitValueHoldsAtItsCap) {
    EXPECT_EQ(sjis::DigitValue("0065", 65535), 65u);
    EXPECT_EQ(sjis::DigitValue("", 65535), 0u);
    EXPECT_EQ(sjis::DigitValue("65535", 65535), 65535u);
    EXPECT_EQ(sjis::DigitValue("65536", 65535), 65535u);
    // Twenty digits would wrap a 64-bit number; the cap is reached long before.
    EXPECT_EQ(sjis::DigitValue("99999999999999999999", 4000000000u), 4000000000u);
}

}  // namespace
}  // namespace movra
