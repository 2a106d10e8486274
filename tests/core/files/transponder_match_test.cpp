// Pairing the transponders of two lists.
#include "files/transponder_match.h"

#include <gtest/gtest.h>

namespace quillox {
namespace {

using Partners = std::vector<std::optional<size_t>>;
constexpr int32_t H = 0, V = 1;

struct PairingCase {
    const char* what;
    Pairing pairing;
    std::vector<TransponderPoint> a;
    std::vector<TransponderPoint> b;
    Partners partners;
};

class TransponderPairingTest : public ::testing::TestWithParam<PairingCase> {};

TEST_P(TransponderPairingTest, PairsAsTheRuleSays) {
    const PairingCase& c = GetParam();
    EXPECT_EQ(PairTransponders(c.a, c.b, c.pairing), c.partners) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TransponderPairingTest,
    ::testing::Values(
        PairingCase{"the narrower band decides: 2170 kS/s is 1.46 MHz, so the 2 MHz floor",
                    Pairing::OneToOne,
                    {{H, 11303, 2170}, {H, 11400, 2170}},
                    {{H, 11305, 27500}, {H, 11403, 27500}},
                    {0, std::nullopt}},
        PairingCase{"closest first, each at most once, of one polarity",
                    Pairing::OneToOne,
                    {{V, 12188, 27500}, {V, 12190, 27500}},
                    {{V, 12196, 27500}, {V, 12189, 27500}, {H, 12188, 27500}},
                    {1, 0}},
        PairingCase{"a carrier takes every line in its own band, no floor",
                    Pairing::NearestCarrier,
                    {{V, 10746, 100}, {V, 10744, 1000}, {V, 11001, 2000}},
                    {{V, 10744, 22000}, {V, 11000, 1000}},
                    {0, 0, std::nullopt}},
        PairingCase{"the nearest carrier, the earlier one on a tie",
                    Pairing::NearestCarrier,
                    {{H, 11000, 0}, {H, 11010, 0}},
                    {{H, 10990, 30000}, {H, 11010, 30000}, {H, 10990, 30000}},
                    {0, 1}}));

}  // namespace
}  // namespace quillox
