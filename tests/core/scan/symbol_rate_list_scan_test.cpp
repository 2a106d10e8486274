// The symbol-rate list scan: start check, call order and waits, transponder lines and their
// numbering, progress, stop.
#include <gtest/gtest.h>

#include <set>

#include "core/scan/scan_fixture.h"

namespace quillox::test {
namespace {

using Texts = std::vector<std::string>;

class SymbolRateScanTest : public ScanTest {
protected:
    SymbolRateScanTest() {
        form.ed_sr_delay.setText("150");
        // A transponder answers wherever the committed symbol rate is one of `locking_`.
        tuner.Script(Reading::Quality, [this](const TunerState& s, int64_t) {
            return locks(s.frequency, s.symbolRate) ? 65 : 0;
        });
        tuner.Script(Reading::Snr, [this](const TunerState& s, int64_t) {
            return locks(s.frequency, s.symbolRate) ? snr_ : 0.0;
        });
    }
    bool locks(int32_t mhz, int32_t ksps) const {
        std::lock_guard lock(mutex_);
        return locking_.count({mhz, ksps}) > 0;
    }
    void Lock(int32_t mhz, int32_t ksps) {
        std::lock_guard lock(mutex_);
        locking_.insert({mhz, ksps});
    }
    void RunVertical(const char* frequencies, const char* rates) {
        form.r_edt_freq_v.setText(frequencies);
        form.r_edt_symbolrate.setText(rates);
        form.Button2.click();
        WaitIdle(form.SrListWorker);
    }
    // Virtual milliseconds between the n-th calls of two operations (1-based).
    int64_t Between(const std::string& from, int fromNth, const std::string& to, int toNth) {
        return TimeOf(to, toNth) - TimeOf(from, fromNth);
    }
    int64_t TimeOf(const std::string& prefix, int nth) {
        for (const TunerCall& call : tuner.calls())
            if (call.text.rfind(prefix, 0) == 0 && --nth == 0) return call.timeMs;
        ADD_FAILURE() << "no call " << prefix;
        return -1;
    }

    double snr_ = 6.1;
    mutable std::mutex mutex_;
    std::set<std::pair<int32_t, int32_t>> locking_;
};

// ---- Start check -------------------------------------------------------------------------------

TEST_F(SymbolRateScanTest, DelayBelow150IsRefusedBeforeTheListsAreTouched) {
    for (const char* delay : {"149", "", "1.5e3"}) {
        rig.dialogs.clear();
        form.ed_sr_delay.setText(delay);
        form.r_edt_freq_v.setText("1");
        form.Button2.click();
        EXPECT_EQ(rig.dialogs.errors(), Texts{"Invalid Delay, the minimum value is 150."});
        EXPECT_EQ(form.focusedControl(), &form.ed_sr_delay);
        EXPECT_EQ(form.r_edt_freq_v.lines(), Texts{"1"}) << "no pruning yet";
        EXPECT_FALSE(form.SrListWorker.running());
    }
    EXPECT_TRUE(tuner.callTexts().empty());
}

TEST_F(SymbolRateScanTest, TheScanStartsWithWhatThePruningLeft) {
    Lock(10719, 27500);
    RunVertical("9999\r\n10719\r\nabc", "0\r\n27500");
    EXPECT_EQ(rig.dialogs.errors(),
              (Texts{"Deleted, 2 invalid frequencies in the VERTICAL list.",
                     "Deleted, 1 invalid Symbol Rates in the SYMBOL RATES LIST."}));
    EXPECT_EQ(form.re_freq_tmp.lines(), Texts{"10719"});
    EXPECT_EQ(form.r_ed_trans_good.lines(), Texts{"1=10719,V,27500,0"});
}

// ---- Body --------------------------------------------------------------------------------------

TEST_F(SymbolRateScanTest, TriesRatesInOrderUntilOneLocksWithItsWaits) {
    Lock(10719, 22000);
    tuner.Script(Reading::Frequency, [](const TunerState& s, int64_t) { return s.frequency + 1; });
    tuner.ScriptSequence(Reading::Fec, {3});
    form.ed_sr_delay.setText("1500");
    RunVertical("10719", "27500\r\n22000\r\n30000");

    EXPECT_EQ(
        TimedCallsFrom("TunerSetPolarity"),
        (Texts{"0 TunerSetPolarity(1)", "0 TunerSetFec(6)", "0 TunerCommit(1)",
               "0 TunerSetLnbSelection(0)", "0 TunerSetLnbFrequency(9750)",
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
    EXPECT_EQ(form.r_ed_trans_good.lines(), Texts{"1=10720,V,22000,34"});
    EXPECT_EQ(form.RichEdit1.lines(), Texts{"Freq = 10720 Symb = 22000  Signal = 65  SNR = 6.1"});
    EXPECT_EQ(form.trans_counter, 2);
    EXPECT_EQ(form.pbar_sr.position(), 100);
    EXPECT_TRUE(form.Button2.enabled());
}

struct ExtraWaitCase {
    int index;  // position of the locking rate in the list
    int64_t extraMs;
};

class ExtraWaitTest : public SymbolRateScanTest,
                      public ::testing::WithParamInterface<ExtraWaitCase> {};

TEST_P(ExtraWaitTest, DependsOnThePositionInTheList) {
    std::string rates;
    for (int i = 0; i <= GetParam().index; ++i) rates += std::to_string(20000 + i) + "\r\n";
    Lock(10719, 20000 + GetParam().index);
    snr_ = 6.0;  // no threshold wait
    RunVertical("10719", rates.c_str());
    const int attempt = GetParam().index + 1;
    EXPECT_EQ(Between("TunerGetSignalQuality", 2 * attempt - 1, "TunerGetSnr", attempt),
              GetParam().extraMs + 150);
}

INSTANTIATE_TEST_SUITE_P(Positions, ExtraWaitTest,
                         ::testing::Values(ExtraWaitCase{0, 4500}, ExtraWaitCase{10, 4500},
                                           ExtraWaitCase{11, 1000}, ExtraWaitCase{20, 1000},
                                           ExtraWaitCase{21, 250}, ExtraWaitCase{38, 250}));

struct ThresholdCase {
    const char* code;  // ed_Sig_L
    double snr;
    int64_t waitMs;
};

class ThresholdTest : public SymbolRateScanTest,
                      public ::testing::WithParamInterface<ThresholdCase> {};

TEST_P(ThresholdTest, SnrAboveTheCodedThresholdAddsTheExtraSettle) {
    form.ed_Sig_L.setText(GetParam().code);
    snr_ = GetParam().snr;
    Lock(10719, 27500);
    RunVertical("10719", "27500");
    EXPECT_EQ(Between("TunerGetSnr", 1, "TunerGetSignalQuality", 2), GetParam().waitMs);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ThresholdTest,
    ::testing::Values(ThresholdCase{"39", 6.04, 0}, ThresholdCase{"39", 6.05, 600},
                      ThresholdCase{"23", 3.64, 0}, ThresholdCase{"23", 3.65, 600},
                      ThresholdCase{"7", 0.0, 0}, ThresholdCase{"7", 0.05, 600},
                      ThresholdCase{"x", 6.04, 0}, ThresholdCase{"x", 6.05, 600}));

TEST_F(SymbolRateScanTest, ExtraSettleFieldFallsBackTo150WhenNotANumber) {
    form.ed_sr_delay2.setText("six hundred");
    Lock(10719, 27500);
    RunVertical("10719", "27500");
    EXPECT_EQ(Between("TunerGetSnr", 1, "TunerGetSignalQuality", 2), 150);
}

struct LineCase {
    double polarity, fec;
    const char* line;
};

class TransponderLineTest : public SymbolRateScanTest,
                            public ::testing::WithParamInterface<LineCase> {};

TEST_P(TransponderLineTest, WritesWhatTheTunerReports) {
    tuner.ScriptSequence(Reading::Polarity, {GetParam().polarity});
    tuner.ScriptSequence(Reading::Fec, {GetParam().fec});
    tuner.ScriptSequence(Reading::SymbolRate, {27499});
    Lock(10719, 27500);
    RunVertical("10719", "27500");
    EXPECT_EQ(form.r_ed_trans_good.lines(), Texts{GetParam().line});
}

INSTANTIATE_TEST_SUITE_P(Codes, TransponderLineTest,
                         ::testing::Values(LineCase{1, 3, "1=10719,V,27499,34"},
                                           LineCase{0, 6, "1=10719,H,27499,0"},
                                           LineCase{10, 1, "1=10719,?,27499,12"},
                                           LineCase{1, 9, "1=10719,V,27499,"}));

TEST_F(SymbolRateScanTest, LineNumbersGoOnFromTheListAcrossScans) {
    form.r_ed_trans_good.setText("1=11000,V,27500,34\r\n2=11100,V,27500,34");
    form.trans_counter = 3;
    Lock(10719, 27500);
    Lock(10800, 27500);
    RunVertical("10719\r\n10760\r\n10800", "27500");
    form.r_edt_freq_h.setText("10719");
    form.Button4.click();
    WaitIdle(form.SrListWorker);
    EXPECT_EQ(form.r_ed_trans_good.lines(),
              (Texts{"1=11000,V,27500,34", "2=11100,V,27500,34", "3=10719,V,27500,0",
                     "4=10800,V,27500,0", "5=10719,H,27500,0"}));
    EXPECT_EQ(form.trans_counter, 6);
}

TEST_F(SymbolRateScanTest, ProgressAddsASharePerAttemptAndJumpsPerFrequency) {
    Lock(10800, 20001);
    GaugeRecorder gauge(form.pbar_sr);
    RunVertical("10719\r\n10800", "20000\r\n20001\r\n20002\r\n20003");
    // 12.5 per attempt; the second frequency locks at its second attempt and jumps to 100.
    EXPECT_EQ(gauge.positions(), (std::vector<int>{12, 25, 37, 50, 62, 75, 100}));
}

TEST_F(SymbolRateScanTest, EmptyListsStillRunToTheEnd) {
    GaugeRecorder gauge(form.pbar_sr);
    form.pbar_sr.setPosition(40);
    RunVertical("", "27500");
    EXPECT_EQ(gauge.positions(), (std::vector<int>{40, 0, 100}));
    EXPECT_EQ(tuner.countOf("TunerSetLnbFrequency"), 0);

    RunVertical("10719\r\n10800", "");
    EXPECT_EQ(tuner.countOf("TunerSetFrequency"), 2) << "every frequency is still tuned";
    EXPECT_EQ(Between("TunerSetFrequency(10719)", 1, "TunerSetFrequency(10800)", 1), 1000);
    EXPECT_EQ(tuner.countOf("TunerSetSymbolRate"), 0);
    EXPECT_EQ(form.r_ed_trans_good.count(), 0);
}

// ---- Stop --------------------------------------------------------------------------------------

TEST_F(SymbolRateScanTest, StopKeepsTheFoundTranspondersAndMakesNoFurtherCall) {
    Lock(10719, 27500);
    pause.Arm("TunerGetSnr", 3);  // second frequency, second attempt
    form.r_edt_freq_v.setText("10719\r\n10800");
    form.r_edt_symbolrate.setText("27500\r\n22000\r\n30000");
    form.Button2.click();
    ASSERT_TRUE(pause.WaitReached());
    const Texts atStop = tuner.callTexts();

    form.b_Stop_sr.click();
    EXPECT_FALSE(form.SrListWorker.running());
    EXPECT_EQ(tuner.callTexts(), atStop);
    EXPECT_EQ(form.r_ed_trans_good.lines(), Texts{"1=10719,V,27500,0"});
    EXPECT_EQ(form.trans_counter, 2);
    EXPECT_EQ(form.pbar_sr.position(), 0);
    EXPECT_TRUE(form.Button2.enabled());
    EXPECT_FALSE(form.r_edt_symbolrate.readOnly());
}

TEST_F(SymbolRateScanTest, StopInTheMiddleOfATuningSequenceLeavesItUnfinished) {
    pause.Arm("TunerSetLnbSelection", 2);
    form.r_edt_freq_v.setText("10719\r\n10800");
    form.r_edt_symbolrate.setText("27500");
    form.Button2.click();
    ASSERT_TRUE(pause.WaitReached());
    form.b_Stop_sr.click();
    EXPECT_EQ(tuner.callTexts().back(), "TunerSetLnbSelection(0)");
    EXPECT_EQ(tuner.countOf("TunerSetFrequency(10800)"), 0);
}

// Virtual time, except that sleeps of an hour or more really wait (for the stop to wake them).
class HourSleepsAreRealClock : public Clock {
public:
    explicit HourSleepsAreRealClock(VirtualClock& virtualClock) : virtual_(virtualClock) {}
    void Sleep(int32_t ms) override { ms >= 3600000 ? real_.Sleep(ms) : virtual_.Sleep(ms); }
    LocalTime Now() override { return virtual_.Now(); }
    int64_t MonotonicMs() override { return virtual_.MonotonicMs(); }

private:
    VirtualClock& virtual_;
    RealClock real_;
};

// A stop request wakes a sleeping job at once: the stop event returns promptly from an
// hour-long settle delay and the job makes no call after the one before its sleep.
TEST_F(SymbolRateScanTest, StopWakesAJobFromALongSleep) {
    HourSleepsAreRealClock clock(rig.clock);
    Platform platform{rig.dialogs,      clock,     rig.devices,
                      rig.shell,        rig.power, rig.programDir.str(),
                      rig.homeDir.str()};
    TForm1 hourForm(platform);
    CallPause reached;
    hourForm.tunerSlot().Attach(std::make_unique<PausingTuner>(form.tunerSlot().Detach(), reached));
    reached.Arm("TunerGetSignalQuality", 1, /*block=*/false);
    hourForm.ed_sr_delay.setText("3600000");
    hourForm.r_edt_freq_v.setText("10719");
    hourForm.r_edt_symbolrate.setText("27500");

    hourForm.Button2.click();
    ASSERT_TRUE(reached.WaitReached());
    const auto before = std::chrono::steady_clock::now();
    hourForm.b_Stop_sr.click();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    EXPECT_FALSE(hourForm.SrListWorker.running());
    EXPECT_EQ(tuner.callTexts().back(), "TunerGetSignalQuality");
    EXPECT_EQ(hourForm.pbar_sr.position(), 0);
}

}  // namespace
}  // namespace quillox::test
