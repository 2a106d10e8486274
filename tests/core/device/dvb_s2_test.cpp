// The DVB device on the frontends of current cards: DVB-S2 tried after DVB-S, combined S/T/C
// frontends, limits of 0, per-family lock times, the DiSEqC command sent afresh for each job.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/tuning_code_values.h"
#include "device/dvb/dvb_open.h"
#include "device/serialized_tuner.h"
#include "support/fake_frontend.h"

namespace quillox::dvb {
namespace {

FakeTransponder S2Carrier(uint32_t modulation, uint32_t rate = 27500000) {
    FakeTransponder t;
    t.ifKhz = 1150000;
    t.system = SYS_DVBS2;
    t.modulation = modulation;
    t.fec = FEC_3_5;
    t.symbolRate = rate;
    return t;
}

int64_t TimeOfTune(const FakeFrontend& fake, const std::string& part) {
    for (const auto& c : fake.log())
        if (c.text.rfind("props CLEAR", 0) == 0 && c.text.find(part) != std::string::npos)
            return c.ms;
    return -1;
}

TEST(DvbS2Test, S2CarrierLocksOnS2ProfilesAndNeverOnDvbsOnes) {
    std::vector<const DriverProfile*> profiles = Dvbs2Profiles();
    for (const DriverProfile* p : LegacyProfiles()) profiles.push_back(p);
    for (const DriverProfile* profile : profiles) {
        for (uint32_t modulation : {QPSK, PSK_8}) {
            SCOPED_TRACE(profile->name + (modulation == QPSK ? " QPSK" : " 8PSK"));
            const bool s2 = profile->s2 != S2Support::None;
            DvbRig rig(*profile);
            rig.fake.AddTransponder(S2Carrier(modulation));
            ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500), 0);
            ASSERT_EQ(rig.WaitForLock(10000), s2);
            if (!s2) {
                EXPECT_EQ(rig.fake.tunes(), 1);  // nothing else to try
                continue;
            }
            EXPECT_EQ(rig.device->locked()->system, uint32_t{SYS_DVBS2});
            EXPECT_EQ(rig.device->locked()->modulation, modulation);
            int32_t code = -1;
            rig.device->TunerGetFec(code);
            EXPECT_EQ(code, fec::kNoCode);  // 3/5: no code, an empty field in the file
        }
    }
}

// DVB-S first for its lock time, then DVB-S2 QPSK and 8PSK, pilot AUTO and roll-off AUTO but
// for the drivers that refuse it; a search does the same per candidate.
TEST(DvbS2Test, DvbsThenDvbs2InTurnForEachRate) {
    for (auto [profile, s2Rolloff] : {std::pair{&Stv0910Profile, "ROLLOFF=3 PILOT=2"},
                                      std::pair{&Tda10071Profile, "ROLLOFF=0 PILOT=2"}}) {
        DvbRig rig(profile());
        const int64_t start = rig.clock.MonotonicMs();
        const int32_t timeout = LockTimeouts{}.other;
        ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 22000), 0);
        EXPECT_FALSE(rig.WaitForLock(3 * timeout + 500));
        EXPECT_EQ(TimeOfTune(rig.fake, "DELSYS=5 MODULATION=0 ROLLOFF=0 "), start);
        EXPECT_EQ(TimeOfTune(rig.fake, std::string("DELSYS=6 MODULATION=0 ") + s2Rolloff),
                  start + timeout);
        EXPECT_EQ(TimeOfTune(rig.fake, std::string("DELSYS=6 MODULATION=9 ") + s2Rolloff),
                  start + 2 * timeout);
        EXPECT_EQ(rig.fake.tunes(), 4);  // and round again
    }
    // Symbol rate 0: the spectrum's width leaves 22000, tried as S, S2 QPSK, S2 8PSK.
    DvbRig rig(Tda10071Profile());
    rig.fake.AddTransponder(S2Carrier(PSK_8, 22000000));
    ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 0), 0);
    ASSERT_TRUE(rig.WaitForLock(20000));
    std::vector<std::string> candidates = rig.fake.Calls("props");
    std::erase_if(candidates, [](const std::string& call) {
        return call.find("SYMBOL_RATE=1000000 ") != std::string::npos;  // the spectrum's
    });
    ASSERT_EQ(candidates.size(), 3u);
    EXPECT_NE(candidates.back().find("DELSYS=6 MODULATION=9 "), std::string::npos);
    EXPECT_NE(candidates.back().find("SYMBOL_RATE=22000000 "), std::string::npos);
    // stv090x searches both systems whatever it is asked: one attempt per rate.
    DvbRig stv090x(Stv090xProfile());
    stv090x.fake.AddTransponder(S2Carrier(PSK_8, 22000000));
    ASSERT_EQ(stv090x.Tune(10900, 9750, polarity::kVertical, 0), 0);
    ASSERT_TRUE(stv090x.WaitForLock(20000));
    EXPECT_EQ(stv090x.fake.tunes(), 2);  // 27500, then 22000
}

// A limit of 0 is none; a combined frontend last used for DVB-T reports its limits in Hz
// until the satellite system is selected, and its DTV_CLEAR leaves QAM_AUTO behind.
TEST(DvbLimitsTest, ZeroLimitsAndACombinedFrontendLastOnDvbtTune) {
    DriverProfile unlimited = Stv0299Profile();
    unlimited.freqMinKhz = unlimited.freqMaxKhz = 0;
    unlimited.rateMin = unlimited.rateMax = 0;
    for (const DriverProfile* profile : {&std::as_const(unlimited), &CombinedProfile()}) {
        SCOPED_TRACE(profile->name);
        DvbRig rig(*profile);
        FakeTransponder t;
        t.ifKhz = 1150000;
        rig.fake.AddTransponder(t);
        EXPECT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500), 0);
        EXPECT_TRUE(rig.WaitForLock());
    }
    VirtualClock clock;
    FakeFrontend fake(CombinedProfile(), clock, "/dev/dvb/adapter0/frontend0");
    ASSERT_TRUE(OpenDvbFrontend(fake.path(), clock, fake.Factory()).device);
    const std::vector<std::string> calls = fake.Calls();
    EXPECT_LT(std::find(calls.begin(), calls.end(), "props DELSYS=5"),
              std::find(calls.begin(), calls.end(), "info"));
}

// mt312 names the chip it found; each name selects the Zarlink quirks, and with them the
// Zarlink lock time.
TEST(DriverFamilyTest, TheNamesMt312ReportsSelectTheZarlinkQuirks) {
    for (const char* name : {"Zarlink VP310 DVB-S", "Zarlink MT312 DVB-S", "Zarlink ZL10313 DVB-S"})
        EXPECT_EQ(QuirksOf(name).family, DemodFamily::Zarlink) << name;
    DvbDeviceOptions options;
    options.lockTimeouts.zarlink = 1234;
    DriverProfile noStrength = Mt312Profile();  // no spectrum: the list at the frequency
    noStrength.strength.reset();
    DvbRig rig(noStrength, options);
    ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 0), 0);
    rig.clock.Advance(options.surveySettleMs);
    rig.device->TunerRefreshStatus();  // no strength reading: the first candidate
    EXPECT_EQ(rig.fake.tunes(), 2);
    rig.clock.Advance(1233);
    rig.device->TunerRefreshStatus();
    EXPECT_EQ(rig.fake.tunes(), 2);
    rig.clock.Advance(1);
    rig.device->TunerRefreshStatus();
    EXPECT_EQ(rig.fake.tunes(), 3);  // the next candidate
}

// The switch may have been reset or addressed by another receiver between two jobs.
TEST(LnbControlTest, EachJobAddressesTheSwitchAfresh) {
    DvbRig rig(Stv0299Profile());
    SerializedTuner tuner;
    tuner.Attach(std::move(rig.device));
    auto tune = [&] {
        tuner.TunerSetFrequency(10900);
        tuner.TunerSetLnbFrequency(9750);
        tuner.TunerSetPolarity(polarity::kVertical);
        tuner.TunerSetSymbolRate(27500);
        tuner.TunerSetDiseqc(diseqc::kPosBOptA);
        tuner.TunerCommit(1);
    };
    tune();
    rig.fake.ClearLog();
    tune();
    EXPECT_TRUE(rig.fake.Calls("diseqc").empty());
    tuner.JobStarting();
    rig.fake.ClearLog();
    tune();
    EXPECT_EQ(rig.fake.Calls("diseqc"),
              (std::vector<std::string>{"diseqc e0 10 38 f4", "diseqc e1 10 38 f4"}));
    // The supply stayed on: the guard time, no power-up wait.
    EXPECT_EQ(rig.fake.log()[2].ms - rig.fake.log()[1].ms, DvbDeviceOptions{}.guardMs);
}

}  // namespace
}  // namespace quillox::dvb
