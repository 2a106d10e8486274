// The tuning step: the LNB band by the switch frequency, and only the chosen LOF converted.
#include "scan/lnb_tuning.h"

#include <gtest/gtest.h>

#include "base/number_text.h"
#include "base/tuning_code_values.h"
#include "support/scripted_tuner.h"

namespace quillox::test {
namespace {

using Calls = std::vector<std::string>;

TEST(TuneToFrequencyTest, ChoosesTheBandBySwitchFrequency) {
    struct Case {
        LnbSettings lnb;
        int32_t mhz;
        const char *tone, *lof;
    };
    const LnbSettings ku{"9750", "11700", "10600", tone::k44kHz};
    for (const Case& c : {Case{ku, 11699, "0", "9750"}, Case{ku, 11700, "3", "10600"},
                          Case{{"9000", "10700", "10000", tone::k22kHz}, 10700, "1", "10000"},
                          Case{{"5150", "0", "5150", tone::k22kHz}, 4200, "0", "5150"},
                          Case{{"9000", "0", "1x", tone::k22kHz}, 12000, "0", "9000"}}) {
        ScriptedTuner tuner;
        TuneToFrequency(tuner, c.lnb, c.mhz);
        EXPECT_EQ(tuner.callTexts(),
                  (Calls{std::string("TunerSetLnbSelection(") + c.tone + ")",
                         std::string("TunerSetLnbFrequency(") + c.lof + ")",
                         "TunerSetFrequency(" + std::to_string(c.mhz) + ")", "TunerCommit(1)"}))
            << c.mhz;
    }
}

TEST(TuneToFrequencyTest, ANonIntegerLofRaisesBeforeAnyTunerCall) {
    ScriptedTuner tuner;
    try {
        TuneToFrequency(tuner, {"9x", "0", "10000", tone::kNone}, 11000);
        FAIL() << "no error";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'9x' is not a valid integer value");
    }
    EXPECT_TRUE(tuner.callTexts().empty());
}

}  // namespace
}  // namespace quillox::test
