// The symbol-rate list scan engine: call order and waits, what it reports, progress, and the
// lines it cannot convert.
#include "scan/symbol_rate_list_scan.h"

#include <gtest/gtest.h>

#include <set>

#include "base/number_text.h"
#include "support/recording_scan_host.h"
#include "support/scripted_tuner.h"

namespace quillox::test {
namespace {

using Texts = std::vector<std::string>;

class ListScanEngineTest : public ::testing::Test {
protected:
    ListScanEngineTest() {
        params.delayMs = 150;
        // A transponder answers wherever the committed frequency and rate are in `locking`.
        tuner.Script(Reading::Quality, [this](const TunerState& s, int64_t) {
            return locking.count({s.frequency, s.symbolRate}) ? 65 : 0;
        });
        tuner.Script(Reading::Snr, [this](const TunerState& s, int64_t) {
            return locking.count({s.frequency, s.symbolRate}) ? snr : 0.0;
        });
    }
    void Run(Texts frequencies, Texts rates) {
        params.frequencies = std::move(frequencies);
        params.symbolRates = std::move(rates);
        RunSymbolRateListScan(tuner, clock, params, host);
    }
    // Virtual milliseconds between the n-th calls of two operations (1-based).
    int64_t Between(const std::string& from, int fromNth, const std::string& to, int toNth) {
        return tuner.timeOfCall(to, toNth) - tuner.timeOfCall(from, fromNth);
    }

    VirtualClock clock;
    ScriptedTuner tuner{&clock};
    SymbolRateListScanParams params;
    RecordingListScanHost host;
    std::set<std::pair<int32_t, int32_t>> locking;
    double snr = 6.1;
};

TEST_F(ListScanEngineTest, TriesRatesInOrderUntilOneLocksWithItsWaits) {
    locking = {{10719, 22000}};
    tuner.Script(Reading::Frequency, [](const TunerState& s, int64_t) { return s.frequency + 1; });
    tuner.ScriptSequence(Reading::Fec, {3});
    tuner.ScriptSequence(Reading::Polarity, {1});
    params.delayMs = 1500;
    Run({"10719"}, {"27500", "22000", "30000"});

    EXPECT_EQ(
        tuner.timedCallTexts(),
        (Texts{"0 TunerSetLnbSelection(0)", "0 TunerSetLnbFrequency(9750)",
               "0 TunerSetFrequency(10719)", "0 TunerCommit(1)",
               // 27500: no signal, the plain delay
               "1000 TunerSetSymbolRate(27500)", "1000 TunerCommit(1)", "1000 TunerRefreshStatus()",
               "1000 TunerGetSignalQuality", "2500 TunerRefreshStatus()", "2500 TunerGetSnr",
               "2500 TunerRefreshStatus()", "2500 TunerGetSignalQuality",
               // 22000: signal at the second entry (4500 ms), SNR 6.1 above 6.0 (600 ms)
               "2500 TunerSetSymbolRate(22000)", "2500 TunerCommit(1)", "2500 TunerRefreshStatus()",
               "2500 TunerGetSignalQuality", "8500 TunerRefreshStatus()", "8500 TunerGetSnr",
               "9100 TunerRefreshStatus()", "9100 TunerGetSignalQuality",
               "9100 TunerRefreshStatus()", "9100 TunerGetFrequency", "9100 TunerGetSymbolRate",
               "9100 TunerGetSignalQuality", "9100 TunerRefreshStatus()", "9100 TunerGetFrequency",
               "9100 TunerGetPolarity", "9100 TunerGetSymbolRate", "9100 TunerGetFec"}))
        << "30000 is never tried";
    ASSERT_EQ(host.found.size(), 1u);
    const FoundTransponder& t = host.found[0];
    EXPECT_EQ(std::vector<int32_t>({t.mhz, t.polarityCode, t.ksps, t.fecCode}),
              std::vector<int32_t>({10720, 1, 22000, 3}));
    EXPECT_EQ(host.log, Texts{"Freq = 10720 Symb = 22000  Signal = 65  SNR = 6.1"});
    EXPECT_EQ(host.progress.back(), 100);
}

struct ExtraWaitCase {
    int index;  // position of the locking rate in the list
    int64_t extraMs;
};

class ExtraWaitTest : public ListScanEngineTest,
                      public ::testing::WithParamInterface<ExtraWaitCase> {};

TEST_P(ExtraWaitTest, DependsOnThePositionInTheList) {
    Texts rates;
    for (int i = 0; i <= GetParam().index; ++i) rates.push_back(std::to_string(20000 + i));
    locking = {{10719, 20000 + GetParam().index}};
    snr = 6.0;  // no threshold wait
    Run({"10719"}, rates);
    const int attempt = GetParam().index + 1;
    EXPECT_EQ(Between("TunerGetSignalQuality", 2 * attempt - 1, "TunerGetSnr", attempt),
              GetParam().extraMs + 150);
}

INSTANTIATE_TEST_SUITE_P(Positions, ExtraWaitTest,
                         ::testing::Values(ExtraWaitCase{0, 4500}, ExtraWaitCase{10, 4500},
                                           ExtraWaitCase{11, 1000}, ExtraWaitCase{20, 1000},
                                           ExtraWaitCase{21, 250}, ExtraWaitCase{38, 250}));

struct ThresholdCase {
    int32_t code;
    double snr;
    int64_t waitMs;
};

class ThresholdTest : public ListScanEngineTest,
                      public ::testing::WithParamInterface<ThresholdCase> {};

TEST_P(ThresholdTest, SnrAboveTheCodedThresholdAddsTheExtraSettle) {
    params.snrThresholdCode = GetParam().code;
    snr = GetParam().snr;
    locking = {{10719, 27500}};
    Run({"10719"}, {"27500"});
    EXPECT_EQ(Between("TunerGetSnr", 1, "TunerGetSignalQuality", 2), GetParam().waitMs);
}

INSTANTIATE_TEST_SUITE_P(Codes, ThresholdTest,
                         ::testing::Values(ThresholdCase{39, 6.04, 0}, ThresholdCase{39, 6.05, 600},
                                           ThresholdCase{23, 3.64, 0}, ThresholdCase{23, 3.65, 600},
                                           ThresholdCase{7, 0.0, 0}, ThresholdCase{7, 0.05, 600}));

TEST_F(ListScanEngineTest, ProgressAddsASharePerAttemptAndJumpsPerFrequency) {
    locking = {{10800, 20001}};
    Run({"10719", "10800"}, {"20000", "20001", "20002", "20003"});
    // 12.5 per attempt; the second frequency locks at its second attempt and jumps to 100.
    EXPECT_EQ(host.progress, (std::vector<int>{0, 12, 25, 37, 50, 62, 75, 100}));
}

TEST_F(ListScanEngineTest, EmptyListsStillRunToTheEnd) {
    Run({}, {"27500"});
    EXPECT_EQ(host.progress, (std::vector<int>{0, 100}));
    EXPECT_TRUE(tuner.callTexts().empty());

    Run({"10719", "10800"}, {});
    EXPECT_EQ(tuner.countOf("TunerSetFrequency"), 2) << "every frequency is still tuned";
    EXPECT_EQ(Between("TunerSetFrequency(10719)", 1, "TunerSetFrequency(10800)", 1), 1000);
    EXPECT_EQ(tuner.countOf("TunerSetSymbolRate"), 0);
    EXPECT_TRUE(host.found.empty());
}

TEST_F(ListScanEngineTest, ALineThatIsNoNumberEndsTheScanThereKeepingWhatWasFound) {
    locking = {{10719, 27500}};
    EXPECT_THROW(Run({"10719", "ten", "10800"}, {"27500"}), ConversionError);
    EXPECT_EQ(host.found.size(), 1u);
    EXPECT_EQ(tuner.countOf("TunerSetFrequency"), 1);
}

}  // namespace
}  // namespace quillox::test
