// The symbol-rate list scan on the page: start check, the fields it reads, transponder lines
// and their numbering, stop.
#include <gtest/gtest.h>

#include <set>

#include "core/app/page_fixture.h"

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

TEST_F(SymbolRateScanTest, HiddenFieldsThatAreNoNumberFallBack) {
    form.ed_Sig_L.setText("x");                // threshold code 39: 6.0
    form.ed_sr_delay2.setText("six hundred");  // extra settle 150 ms
    snr_ = 6.05;
    Lock(10719, 27500);
    RunVertical("10719", "27500");
    EXPECT_EQ(tuner.timeOfCall("TunerGetSignalQuality", 2) - tuner.timeOfCall("TunerGetSnr"), 150);
}

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
