// Commit semantics of the DVB device: staging, the tune batch's units and FEC mapping, the
// symbol-rate search for rate 0 (never blocking, cancelled by the next commit) and retuning.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/tuning_code_values.h"
#include "support/fake_frontend.h"

namespace quillox::dvb {
namespace {

FakeTransponder Carrier(uint32_t ifKhz, uint32_t rate, fe_sec_voltage v = SEC_VOLTAGE_13) {
    FakeTransponder t;
    t.ifKhz = ifKhz;
    t.symbolRate = rate;
    t.voltage = v;
    return t;
}

TEST(DvbCommitTest, StagedValuesReachNothingUntilCommit) {
    DvbRig rig(Stv0299Profile());
    rig.fake.AddTransponder(Carrier(1150000, 27500000));
    ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500), 0);
    ASSERT_TRUE(rig.WaitForLock());
    rig.fake.ClearLog();

    rig.device->TunerSetFrequency(11900);
    rig.device->TunerSetLnbFrequency(10600);
    rig.device->TunerSetPolarity(polarity::kHorizontal);
    rig.device->TunerSetLnbSelection(tone::k22kHz);
    rig.device->TunerSetDiseqc(diseqc::kPosBOptB);
    rig.device->TunerSetSymbolRate(0);
    EXPECT_TRUE(rig.fake.Calls().empty());
    rig.device->TunerRefreshStatus();
    int32_t mhz = 0, pol = -1, lof = 0;
    rig.device->TunerGetFrequency(mhz);
    rig.device->TunerGetPolarity(pol);
    rig.device->TunerGetLnbFrequency(lof);
    EXPECT_EQ(mhz, 10900);
    EXPECT_EQ(pol, polarity::kVertical);
    EXPECT_EQ(lof, 9750);
    EXPECT_GT(rig.Quality(), 0);
}

struct BatchCase {
    int32_t ksps, fecCode;
    uint32_t rate, kernelFec;
};

class TuneBatchTest : public ::testing::TestWithParam<BatchCase> {};

TEST_P(TuneBatchTest, RateTimesThousandAndFecMapping) {
    const BatchCase& c = GetParam();
    DvbRig rig(Cx24123Profile());
    ASSERT_EQ(rig.Tune(11000, 9750, polarity::kVertical, c.ksps, c.fecCode), 0);
    EXPECT_EQ(rig.fake.Calls("props"),
              std::vector<std::string>{
                  "props CLEAR DELSYS=5 MODULATION=0 ROLLOFF=0 FREQUENCY=1250000 SYMBOL_RATE=" +
                  std::to_string(c.rate) + " INNER_FEC=" + std::to_string(c.kernelFec) +
                  " INVERSION=2 TUNE"});
}

INSTANTIATE_TEST_SUITE_P(Codes, TuneBatchTest,
                         ::testing::Values(BatchCase{27500, fec::k1_2, 27500000, FEC_1_2},
                                           BatchCase{22000, fec::k2_3, 22000000, FEC_2_3},
                                           BatchCase{1000, fec::k3_4, 1000000, FEC_3_4},
                                           BatchCase{45000, fec::k5_6, 45000000, FEC_5_6},
                                           BatchCase{6111, fec::k7_8, 6111000, FEC_7_8},
                                           BatchCase{29900, fec::kAuto, 29900000, FEC_AUTO}));

TEST(DvbCommitTest, RejectsCodesOutsideTheTables) {
    DvbRig rig(Stv0299Profile());
    EXPECT_NE(rig.device->TunerSetFec(0), 0);
    EXPECT_NE(rig.device->TunerSetFec(7), 0);
    EXPECT_NE(rig.device->TunerSetPolarity(2), 0);
    EXPECT_NE(rig.device->TunerSetLnbSelection(4), 0);
    EXPECT_NE(rig.device->TunerSetDiseqc(7), 0);
    // The rejected values did not replace the staged ones.
    ASSERT_EQ(rig.Tune(11000, 9750, polarity::kVertical, 27500, fec::k3_4), 0);
    EXPECT_NE(rig.fake.Calls("props")[0].find("INNER_FEC=3 "), std::string::npos);
}

// A symbol rate below what the demodulator takes (the program stages 1 kS/s on Apply) is not
// tuned, but the LNB is still powered and switched; the readings show no signal.
TEST(DvbCommitTest, OutOfRangeRateKeepsLnbControlAndHidesOldLock) {
    DvbRig rig(Stv0299Profile());
    rig.fake.AddTransponder(Carrier(950000, 27500000));
    ASSERT_EQ(rig.Tune(10700, 9750, polarity::kVertical, 27500), 0);
    ASSERT_TRUE(rig.WaitForLock());
    rig.fake.ClearLog();
    EXPECT_EQ(
        rig.Tune(10700, 9750, polarity::kVertical, 1, fec::kAuto, tone::kNone, diseqc::kSimpleA),
        -EINVAL);
    EXPECT_EQ(rig.fake.Calls(), (std::vector<std::string>{"voltage 13", "tone off", "burst A"}));
    rig.device->TunerRefreshStatus();
    EXPECT_EQ(rig.Quality(), 0);  // the kernel may still hold the old lock; it is not ours
}

TEST(DvbCommitTest, RetunesAfterEveryChangeAndFollowsTheCarrier) {
    DvbRig rig(Mt312Profile());
    rig.fake.AddTransponder(Carrier(1150000, 27500000));
    rig.fake.AddTransponder(Carrier(1300000, 22000000, SEC_VOLTAGE_18));
    ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500), 0);
    EXPECT_TRUE(rig.WaitForLock());
    ASSERT_EQ(rig.Tune(11050, 9750, polarity::kVertical, 22000), 0);
    EXPECT_FALSE(rig.WaitForLock(2000));  // right rate, wrong polarity
    ASSERT_EQ(rig.Tune(11050, 9750, polarity::kHorizontal, 22000), 0);
    EXPECT_TRUE(rig.WaitForLock());
    EXPECT_EQ(rig.fake.tunes(), 3);
    rig.fake.DropLock();
    rig.device->TunerRefreshStatus();
    EXPECT_EQ(rig.Quality(), 0);
}

TEST(DvbCommitTest, WrongRateNeverLocks) {
    for (const DriverProfile* profile : LegacyProfiles()) {
        SCOPED_TRACE(profile->name);
        DvbRig rig(*profile);
        rig.fake.AddTransponder(Carrier(1150000, 27500000));
        ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27000), 0);
        EXPECT_FALSE(rig.WaitForLock(5000));
    }
}

class RateSearchTest : public ::testing::TestWithParam<const DriverProfile*> {};

TEST_P(RateSearchTest, FindsTheCarriersRateWithoutBlocking) {
    DvbRig rig(*GetParam());
    rig.fake.AddTransponder(Carrier(1150000, 6111000));
    const int64_t before = rig.clock.MonotonicMs();
    ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 0), 0);
    EXPECT_LE(rig.clock.MonotonicMs() - before, 30);  // guard times at most, no lock wait
    EXPECT_EQ(rig.fake.tunes(), 1);
    EXPECT_TRUE(rig.device->searching());

    int32_t ksps = -1;
    rig.device->TunerRefreshStatus();
    rig.device->TunerGetSymbolRate(ksps);
    EXPECT_EQ(ksps, 0);                   // nothing found yet
    ASSERT_TRUE(rig.WaitForLock(60000));  // 6111 comes 13th, seconds each on zig-zag drivers
    EXPECT_FALSE(rig.device->searching());
    rig.device->TunerGetSymbolRate(ksps);
    // stv0299 measures the rate and rounds it to 2 kS/s; the others echo the request.
    EXPECT_EQ(ksps, GetParam() == &Stv0299Profile() ? 6112 : 6111);
    EXPECT_GT(rig.fake.tunes(), 5);
    auto props = rig.fake.Calls("props");
    EXPECT_NE(props.back().find("SYMBOL_RATE=6111000 "), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Profiles, RateSearchTest, ::testing::ValuesIn(LegacyProfiles()));

TEST(RateSearchTest, InsideTheCarrierItLockedTheSearchTriesItsRateAlone) {
    DvbRig rig(Cx24123Profile());  // its tunes block too long for a spectrum: the list
    rig.fake.AddTransponder(Carrier(1150000, 22000000));
    ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 0), 0);
    ASSERT_TRUE(rig.WaitForLock(10000));
    rig.fake.ClearLog();
    ASSERT_EQ(rig.Tune(10904, 9750, polarity::kVertical, 0), 0);  // a step of a centring walk
    EXPECT_FALSE(rig.device->searching());
    EXPECT_NE(rig.fake.Calls("props").front().find("SYMBOL_RATE=22000000 "), std::string::npos);
    const int tunes = rig.fake.tunes();
    rig.fake.DropLock();  // a fade: the known rate is tried on, never another one
    for (int i = 0; i < 40; ++i) {
        rig.clock.Advance(500);
        rig.device->TunerRefreshStatus();
    }
    EXPECT_EQ(rig.fake.tunes(), tunes);
    // Elsewhere a search again, starting with the rate seen.
    ASSERT_EQ(rig.Tune(10960, 9750, polarity::kVertical, 0), 0);
    EXPECT_TRUE(rig.device->searching());
    EXPECT_NE(rig.fake.Calls("props").back().find("SYMBOL_RATE=22000000 "), std::string::npos);
}

// A sweep stepping across a carrier: the strength spectrum is read once, one tune per point, and
// every step inside the carrier tunes its centre at the rate its width fits, or reuses that rate
// once it locked.
TEST(BlindAcquisitionTest, ASweepReadsTheSpectrumOnceAndTunesTheCarriersCentre) {
    DvbRig rig(Stv0299Profile());
    rig.fake.AddTransponder(Carrier(1152000, 22000000));
    std::set<uint32_t> points;
    size_t pointTunes = 0;
    for (int32_t mhz : {10895, 10900, 10905, 10910, 10915}) {
        rig.fake.ClearLog();
        ASSERT_EQ(rig.Tune(mhz, 9750, polarity::kVertical, 0), 0);
        for (int i = 0; i < 38; ++i) {  // one sweep step's readings
            rig.clock.Advance(20);
            rig.device->TunerRefreshStatus();
        }
        for (const std::string& call : rig.fake.Calls("props")) {
            const size_t at = call.find(" FREQUENCY=");
            ASSERT_NE(at, std::string::npos) << call;
            const auto khz = static_cast<uint32_t>(std::stoul(call.substr(at + 11)));
            if (call.find("SYMBOL_RATE=1000000 ") != std::string::npos) {
                ++pointTunes;
                points.insert(khz);
            } else if (mhz != 10915) {
                EXPECT_NEAR(khz, 1152000, 500) << mhz << ": " << call;
            }
        }
        int32_t quality = 0, ksps = 0, readMhz = 0;
        rig.device->TunerGetSignalQuality(quality);
        rig.device->TunerGetSymbolRate(ksps);
        rig.device->TunerGetFrequency(readMhz);
        if (mhz == 10895) continue;        // the first spectrum takes most of the step
        const bool inside = mhz != 10915;  // 13 MHz off the centre: beyond the -3 dB edge
        EXPECT_EQ(quality > 0, inside) << mhz;
        if (inside) {
            EXPECT_EQ(std::pair(readMhz, ksps), std::pair(10902, 22000)) << mhz;
        }
    }
    // No point read twice: one is tuned again only when a commit cut its reading short.
    EXPECT_LE(pointTunes, points.size() + 5);
    EXPECT_GT(points.size(), 40u);
}

TEST(RateSearchTest, NextCommitEndsTheSearch) {
    DvbRig rig(Stv0299Profile());
    ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 0), 0);
    rig.clock.Advance(LockTimeouts{}.stv0299);
    rig.device->TunerRefreshStatus();  // second candidate
    ASSERT_EQ(rig.fake.tunes(), 2);
    ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500), 0);
    EXPECT_FALSE(rig.device->searching());
    for (int i = 0; i < 40; ++i) {
        rig.clock.Advance(500);
        rig.device->TunerRefreshStatus();
    }
    EXPECT_EQ(rig.fake.tunes(), 3);
    EXPECT_NE(rig.fake.Calls("props").back().find("SYMBOL_RATE=27500000 "), std::string::npos);
}

TEST(RateSearchTest, EndsAfterOnePassWhenNothingLocks) {
    DvbDeviceOptions options;
    options.searchRatesKsps = {27500, 500, 22000, 99000};  // two outside the driver's limits
    DvbRig rig(Cx24123Profile(), options);
    ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 0), 0);
    EXPECT_FALSE(rig.WaitForLock(5000));
    EXPECT_FALSE(rig.device->searching());
    EXPECT_EQ(rig.fake.Calls("props").size(), 2u);
}

}  // namespace
}  // namespace quillox::dvb

namespace quillox::dvb {
namespace {

// The status timer reads on the GUI thread while a worker commits and searches.
TEST(RateSearchTest, ReadersOnAnotherThreadSeeConsistentState) {
    DvbRig rig(Cx24123Profile());
    rig.fake.AddTransponder(Carrier(1150000, 22000000));
    std::atomic<bool> done{false};
    std::thread reader([&] {
        while (!done) {
            int32_t mhz = 0, ksps = 0, q = 0;
            rig.device->TunerRefreshStatus();
            rig.device->TunerGetFrequency(mhz);
            rig.device->TunerGetSymbolRate(ksps);
            rig.device->TunerGetSignalQuality(q);
            if (q > 0) {
                EXPECT_EQ(ksps, 22000);
            }
        }
    });
    for (int i = 0; i < 50; ++i) {
        rig.Tune(i % 2 ? 10900 : 11000, 9750, polarity::kVertical, 0);
        rig.clock.Advance(700);
    }
    done = true;
    reader.join();
    ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 0), 0);
    EXPECT_TRUE(rig.WaitForLock(20000));
}

}  // namespace
}  // namespace quillox::dvb
