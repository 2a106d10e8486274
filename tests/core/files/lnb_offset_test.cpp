// The LNB oscillators' offsets estimated from matched transponders.
#include "files/lnb_offset.h"

#include <gtest/gtest.h>

#include <cmath>

#include "files/transponder_compare.h"

namespace quillox::test {
namespace {

// Found = reference - offset: an oscillator running high makes its band read low.
std::vector<MatchedFrequency> Shifted(std::initializer_list<double> references, double offset) {
    std::vector<MatchedFrequency> matches;
    for (double f : references) matches.push_back({f - offset, f});
    return matches;
}

TEST(LnbOffsetTest, EstimatesEachBandAndSaysWhatToType) {
    const LnbOscillators ku;  // 9750 / 11700 / 10600
    std::vector<MatchedFrequency> matches = Shifted({10729, 10847, 11214, 11362.5}, -1.5);
    for (const MatchedFrequency& m : Shifted({11720.25, 12051, 12188, 12604.5, 12692}, 2.1))
        matches.push_back({std::round(m.foundMhz), m.referenceMhz});  // the lists hold whole MHz
    matches.push_back({12400, 12441});  // a wrong match must not pull the estimate
    const std::vector<OscillatorOffset> offsets = EstimateLnbOffsets(matches, ku);
    ASSERT_EQ(offsets.size(), 2u);
    EXPECT_EQ(offsets[0].band, OscillatorBand::Low);
    EXPECT_NEAR(offsets[0].offsetMhz, -1.5, 0.01);
    EXPECT_EQ(offsets[1].transponders, 6u);
    EXPECT_NEAR(offsets[1].offsetMhz, 2.1, 0.5);
    EXPECT_NEAR(OffsetAt(offsets, ku, 12000), offsets[1].offsetMhz, 1e-9);
    EXPECT_EQ(DescribeLnbOffsets(offsets),
              (std::vector<std::string>{
                  "The LNB's low-band oscillator reads 1.5 MHz low (4 transponders): type 9749 "
                  "into LOF Low.",
                  "The LNB's high-band oscillator reads 2.2 MHz high (6 transponders): type 10602 "
                  "into LOF High."}));

    const LnbOscillators c{5150, 0, 5150};  // one oscillator, inverted band: same sign
    EXPECT_EQ(DescribeLnbOffsets(EstimateLnbOffsets(Shifted({3727, 3880}, 3), c)),
              std::vector<std::string>{"The LNB's oscillator cannot be judged: 2 transponders "
                                       "matched, 3 needed."});
    EXPECT_EQ(DescribeLnbOffsets(EstimateLnbOffsets(Shifted({3727, 3880, 4000}, 0.3), c)),
              std::vector<std::string>{"The LNB's oscillator reads true within 0.5 MHz (3 "
                                       "transponders): keep 5150 in LOF Low."});
}

TEST(LnbOffsetTest, ComparisonWithAnEarlierFileNamesABandThatMovedTogether) {
    const std::vector<TransponderLine> before = ParseTransponderLines(
        {"1=10719,V,27500,34", "2=10758,H,22000,56", "3=11034,V,27500,34", "4=11303,H,2170,0",
         "5=12188,V,27500,34"});
    const TransponderChanges shifted = CompareTransponders(
        before, ParseTransponderLines({"1=10717,V,27500,34", "2=10756,H,22000,56",
                                       "3=11032,V,27500,34", "4=11301,H,2170,0",
                                       "5=12186,V,27500,34"}));
    EXPECT_EQ(shifted.moved.size(), 5u);
    EXPECT_EQ(FormatLnbShiftSince(shifted, {}),
              "Against the earlier file:\nThe LNB's low-band oscillator reads 2.0 MHz high (4 "
              "transponders): type 9752 into LOF Low.\n");
    EXPECT_EQ(FormatLnbShiftSince(CompareTransponders(before, before), {}), "");
}

}  // namespace
}  // namespace quillox::test
