// The transponder file: its name from the orbital position and its exact bytes.
#include "files/transponder_ini.h"

#include <gtest/gtest.h>

#include "base/number_text.h"

namespace quillox {
namespace {

TEST(TransponderIniTest, FileNameIsTheEastwardPositionInTenthsOrNothing) {
    using Case = std::tuple<const char*, const char*, const char*, std::optional<std::string>>;
    for (auto [degrees, tenths, side, name] : {Case{"13", "0", "E", "0130.ini"},
                                               {"19", "2", "E", "0192.ini"},
                                               {"5", "0", "E", "0050.ini"},
                                               {"30", "0", "W", "3300.ini"},
                                               {"0", "8", "W", "3592.ini"},
                                               {"0", "0", "W", "0000.ini"},
                                               {"013", "0", "E", "0130.ini"},
                                               {"30", "0", "w", "0300.ini"},
                                               {"", "0", "E", std::nullopt},
                                               {"1000", "0", "E", std::nullopt},
                                               {"460", "0", "W", std::nullopt},
                                               {"-5", "0", "E", std::nullopt}})
        EXPECT_EQ(IniFileNameOf(degrees, tenths, side), name) << degrees << "," << tenths << side;
    EXPECT_THROW(IniFileNameOf("1x", "0", "E"), ConversionError);
}

TEST(TransponderIniTest, WritesTheLayoutWithCrLf) {
    TransponderIni ini{"0130.ini",
                       "Hot Bird",
                       2,
                       {"1=10719,V,27500,34", "2=10758,H,22000,"},
                       "https://quillox.example.org/",
                       {2026, 12, 6, 9, 5, 7}};
    EXPECT_EQ(FormatTransponderIni(ini),
              "[SATTYPE]\r\n1=0130\r\n2=Hot Bird\r\n\r\n[DVB]\r\n0=2\r\n"
              "1=10719,V,27500,34\r\n2=10758,H,22000,\r\n\r\n\r\n"
              ";File Generated with <Quillox  by Zyl> https://quillox.example.org/\r\n"
              "; on 6/12/2026 at 09:05:07\r\n");
    ini.lines.clear();
    ini.count = 0;
    EXPECT_EQ(FormatTransponderIni(ini).substr(40, 14), "0=0\r\n\r\n\r\n;File");
}

}  // namespace
}  // namespace quillox
