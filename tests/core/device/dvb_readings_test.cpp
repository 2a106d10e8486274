// Readings of the DVB device per driver profile: quality, SNR figure and its scale, raw level,
// read-back FEC, and statistics a driver lacks.
#include <gtest/gtest.h>

#include <cmath>

#include "base/tuning_code_values.h"
#include "scan/probable_frequency_scan.h"
#include "support/fake_frontend.h"
#include "support/recording_scan_host.h"

namespace quillox::dvb {
namespace {

struct StatsCase {
    const char* name;
    const DriverProfile& (*profile)();
    int32_t quality;  // locked
    SnrScale scale;
    float snr;      // locked; NAN: the getter must fail
    int32_t level;  // TunerGetSigtre, locked
};

class LockedStatsTest : public ::testing::TestWithParam<StatsCase> {};

TEST_P(LockedStatsTest, FollowTheDocumentedRule) {
    const StatsCase& c = GetParam();
    DvbRig rig(c.profile());
    FakeTransponder t;
    t.ifKhz = 1150000;
    t.cnrMilliDb = 12000;
    rig.fake.AddTransponder(t);
    ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500), 0);
    ASSERT_TRUE(rig.WaitForLock());
    EXPECT_EQ(rig.Quality(), c.quality);
    EXPECT_EQ(rig.device->snrScale(), c.scale);
    float snr = -1.0f;
    int rc = rig.device->TunerGetSnr(snr);
    if (std::isnan(c.snr)) {
        EXPECT_NE(rc, 0);
        EXPECT_EQ(snr, -1.0f);  // left as the caller preset it
    } else {
        EXPECT_EQ(rc, 0);
        EXPECT_NEAR(snr, c.snr, 0.01);
    }
    int32_t level = 0;
    rig.device->TunerGetSigtre(level);
    EXPECT_EQ(level, c.level);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, LockedStatsTest,
    ::testing::Values(
        // SNR 0xC000 -> 75 %, 15.0 on the relative scale; strength as reported.
        StatsCase{"Stv0299", Stv0299Profile, 75, SnrScale::Relative, 15.0f, 0xA000},
        // 14-bit AGC 0x3000 scaled to 16 bits: 0xC000.
        StatsCase{"Mt312", Mt312Profile, 68, SnrScale::Relative, 13.75f, 0xC000},
        // Its SNR is unreliable: quality from strength 0x9900 (59 %).
        StatsCase{"Cx24123", Cx24123Profile, 59, SnrScale::Relative, 19.995f, 0x9900},
        // No SNR at all (524): quality from strength 0x8080, the SNR getter fails.
        StatsCase{"S5h1420", S5h1420Profile, 50, SnrScale::None, NAN, 0x8080},
        // DVBv5 CNR 12 dB: a real dB figure, 80 % of 15 dB; level in 0.001 dBm.
        StatsCase{"V5Decibel", V5StatsProfile, 80, SnrScale::Decibel, 12.0f, -40000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DvbReadingsTest, NoLockMeansQualityZeroButSnrStillRisesWithEnergy) {
    for (const DriverProfile* profile : LegacyProfiles()) {
        SCOPED_TRACE(profile->name);
        DvbRig rig(*profile);
        FakeTransponder t;
        t.ifKhz = 1150000;
        rig.fake.AddTransponder(t);
        float quiet = 0, busy = 0;
        ASSERT_EQ(rig.Tune(11300, 9750, polarity::kVertical, 35000), 0);  // empty band
        rig.clock.Advance(200);
        rig.device->TunerRefreshStatus();
        EXPECT_EQ(rig.Quality(), 0);
        bool hasSnr = rig.device->TunerGetSnr(quiet) == 0;
        ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 35000), 0);  // carrier, wrong rate
        rig.clock.Advance(200);
        rig.device->TunerRefreshStatus();
        EXPECT_EQ(rig.Quality(), 0);
        if (hasSnr) {
            ASSERT_EQ(rig.device->TunerGetSnr(busy), 0);
            EXPECT_GT(busy, quiet);
        }
    }
}

struct FecCase {
    uint32_t carrierFec;
    int32_t expected;  // fec::kNoCode: a rate the transponder line leaves empty
};

class ReadBackFecTest : public ::testing::TestWithParam<FecCase> {};

TEST_P(ReadBackFecTest, HardwareFecOrUnknown) {
    for (const DriverProfile* profile : LegacyProfiles()) {
        SCOPED_TRACE(profile->name);
        DvbRig rig(*profile);
        FakeTransponder t;
        t.ifKhz = 1150000;
        t.fec = GetParam().carrierFec;
        rig.fake.AddTransponder(t);
        ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500, fec::kAuto), 0);
        ASSERT_TRUE(rig.WaitForLock());
        int32_t code = -1;
        EXPECT_EQ(rig.device->TunerGetFec(code), 0);
        EXPECT_EQ(code, GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, ReadBackFecTest,
                         ::testing::Values(FecCase{FEC_1_2, fec::k1_2}, FecCase{FEC_2_3, fec::k2_3},
                                           FecCase{FEC_3_4, fec::k3_4}, FecCase{FEC_5_6, fec::k5_6},
                                           FecCase{FEC_7_8, fec::k7_8},
                                           FecCase{FEC_AUTO, fec::kAuto},
                                           FecCase{FEC_6_7, fec::kNoCode},
                                           FecCase{FEC_NONE, fec::kNoCode}));

TEST(DvbReadingsTest, UnlockedReportsTheRequestNotTheDriversPlaceholder) {
    // cx24123 and s5h1420 read FEC_NONE before lock; the program staged 3/4.
    for (const DriverProfile* profile : {&Cx24123Profile(), &S5h1420Profile()}) {
        DvbRig rig(*profile);
        ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500, fec::k3_4), 0);
        rig.device->TunerRefreshStatus();
        int32_t code = 0, ksps = 0;
        rig.device->TunerGetFec(code);
        rig.device->TunerGetSymbolRate(ksps);
        EXPECT_EQ(code, fec::k3_4);
        EXPECT_EQ(ksps, 27500);
    }
}

TEST(DvbReadingsTest, MissingStatisticIsAskedForOnlyOnce) {
    DvbRig rig(S5h1420Profile());
    ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500), 0);
    for (int i = 0; i < 5; ++i) {
        rig.clock.Advance(100);
        rig.device->TunerRefreshStatus();
    }
    EXPECT_EQ(rig.fake.Calls("snr").size(), 1u);           // 524 the first time
    EXPECT_EQ(rig.fake.Calls("strength").size(), 5u);      // present: every time
    EXPECT_EQ(rig.fake.Calls("get STAT_CNR").size(), 1u);  // DVBv5 len 0: legacy driver
}

// Most current drivers give no CNR before lock: the first method's sweep then reads the
// estimate from strength and status bits, which must make hits at carriers and none between.
TEST(DvbReadingsTest, SweepWithoutUnlockedCnrHitsTheCarriersOnly) {
    DvbRig rig(Tda10071Profile());
    const std::vector<int32_t> carriersMhz = {10900, 11050};
    for (int32_t mhz : carriersMhz) {
        FakeTransponder t;
        t.ifKhz = static_cast<uint32_t>(mhz - 9750) * 1000;
        rig.fake.AddTransponder(t);
    }
    rig.device->TunerSetPolarity(polarity::kVertical);
    rig.device->TunerSetFec(fec::kAuto);
    ProbableFrequencyScanParams params;
    params.startMhz = 10800;
    params.endMhz = 11150;
    test::RecordingSweepHost host;
    host.lnb = {"9750", "11700", "10600", tone::k22kHz};
    RunProbableFrequencyScan(*rig.device, rig.clock, params, host);
    EXPECT_EQ(rig.device->snrScale(), SnrScale::Estimate);

    const std::vector<int64_t> found = MergeHits(host.hits);
    ASSERT_EQ(found.size(), carriersMhz.size());
    for (size_t i = 0; i < found.size(); ++i) EXPECT_NEAR(found[i], carriersMhz[i], 3);
    for (int64_t hit : host.hits)  // the fake's demodulator PLL holds within 17.75 MHz
        EXPECT_TRUE(std::abs(hit - 10900) <= 18 || std::abs(hit - 11050) <= 18) << hit;
}

TEST(DvbReadingsTest, BerWhileLocked) {
    DvbRig rig(Mt312Profile());
    FakeTransponder t;
    t.ifKhz = 1150000;
    rig.fake.AddTransponder(t);
    ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500), 0);
    ASSERT_TRUE(rig.WaitForLock());
    ASSERT_TRUE(rig.device->ber().has_value());
    EXPECT_EQ(*rig.device->ber(), 192u);
}

}  // namespace
}  // namespace quillox::dvb
