// Where a symbol-rate search tunes while a sweep steps across a carrier.
#include "device/search_place.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillox {
namespace {

const std::vector<int32_t> kOrder = {27500, 22000, 30000};

struct Step {
    int32_t mhz;
    double snr;              // of the step's readings, where the device tuned
    bool stillTrying;        // the device's candidate still within its time at the next commit
    int32_t tuneMhz;         // expected
    size_t candidate;        // expected
    bool keep;               // expected
};

// Commits 5 MHz apart, each with three readings; returns what the device was told to do.
void Sweep(const std::vector<Step>& steps) {
    SearchPlace place;
    size_t present = 0;
    bool trying = false;
    for (const Step& s : steps) {
        const SearchPlace::Plan plan = place.Next(1, s.mhz, kOrder, present, trying);
        EXPECT_EQ(plan.tuneMhz, s.tuneMhz) << s.mhz;
        EXPECT_EQ(plan.firstCandidate, s.candidate) << s.mhz;
        EXPECT_EQ(plan.keep, s.keep) << s.mhz;
        for (int i = 0; i < 3; ++i) place.Reading(s.snr, s.snr >= kCarrierEnergySnrDb);
        present = plan.firstCandidate;
        trying = s.stillTrying;
    }
}

TEST(SearchPlaceTest, GoesBackToTheEnergyPeakWithTheNextCandidates) {
    Sweep({{10890, 1.0, false, 10890, 0, false},    // noise
           {10895, 6.0, false, 10895, 0, false},    // a carrier's edge
           {10900, 11.0, false, 10900, 0, false},   // rising
           {10905, 7.0, false, 10905, 0, false},    // falling: 10900 was the peak
           {10910, 11.0, true, 10900, 1, false},    // 22000 at the peak ...
           {10915, 11.0, false, 10900, 1, true},    // ... which goes on while it has time
           {10920, 11.0, false, 10900, 2, false},   // then 30000, 20 MHz behind at most
           {10925, 1.0, false, 10925, 0, false}});  // too far: afresh where asked
}

TEST(SearchPlaceTest, ALockOrAnotherPathStartsAfresh) {
    SearchPlace place;
    for (int32_t mhz : {10900, 10905}) {
        place.Next(1, mhz, kOrder, 0, false);
        for (double snr : {1.0, 9.0 - (mhz - 10900) / 5.0, 9.0}) place.Reading(snr, snr >= 3);
    }
    EXPECT_EQ(place.Next(2, 10910, kOrder, 0, false).tuneMhz, 10910);  // other polarity
    place.Next(1, 10900, kOrder, 0, false);
    place.Locked();
    EXPECT_EQ(place.Next(1, 10905, kOrder, 0, false).tuneMhz, 10905);
}

}  // namespace
}  // namespace quillox
