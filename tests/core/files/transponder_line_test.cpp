// The transponder line: written from the tuner's codes, read back field by field.
#include "files/transponder_line.h"

#include <gtest/gtest.h>

#include "base/tuning_code_values.h"

namespace quillox {
namespace {

TEST(FormatTransponderLineTest, WritesTheCodesAsTheListShowsThem) {
    struct Case {
        int32_t polarity, fec;
        const char* line;
    };
    for (const Case& c : {Case{1, 3, "1=10719,V,27499,34"}, Case{0, 6, "1=10719,H,27499,0"},
                          Case{10, 1, "1=10719,?,27499,12"}, Case{1, 9, "1=10719,V,27499,"}}) {
        const std::string line =
            FormatTransponderLine({1, 10719, c.polarity, 27499, TransponderFecText(c.fec)});
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(FormatTransponderLine(*ParseTransponderLine(line)), line) << "round trip";
    }
}

TEST(ParseTransponderLineTest, ReadsTheFieldsOfAListLine) {
    auto line = ParseTransponderLine("12=10719,V,27500,34");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->number, 12);
    EXPECT_EQ(line->mhz, 10719);
    EXPECT_EQ(line->polarity, polarity::kVertical);
    EXPECT_EQ(line->ksps, 27500);
    EXPECT_EQ(line->fecText, "34");
    EXPECT_EQ(ParseTransponderLine("3=11000,?,22000,")->polarity, -1);
    for (const char* bad :
         {"", "10719,V,27500,34", "1=10719,V,27500", "1=x,V,27500,34", "1=10719,V,27500,34,9"})
        EXPECT_FALSE(ParseTransponderLine(bad)) << bad;
}

}  // namespace
}  // namespace quillox
