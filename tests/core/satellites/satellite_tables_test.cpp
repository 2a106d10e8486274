// Satellite tables: the shipped tables, the built-in satellite, the program's own transponder
// files, directives, and refusal of broken files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "base/tuning_code_values.h"
#include "satellites/scenario_loading.h"

namespace quillox::satellites {
namespace {

std::string SatellitePath(const std::string& file) {
    return std::string(QUILLOX_DATA_DIR) + "/satellites/" + file;
}

struct TableCase {
    const char* file;
    size_t carriers;
    long dvbs;
};

class ShippedTable : public testing::TestWithParam<TableCase> {};

TEST_P(ShippedTable, LoadsEveryRowWithAPlausibleCarrierToNoise) {
    ScenarioLoadResult r = LoadScenarioFile(SatellitePath(GetParam().file));
    ASSERT_TRUE(r.scenario) << r.error;
    const auto& carriers = r.scenario->carriers;
    EXPECT_EQ(carriers.size(), GetParam().carriers);
    EXPECT_EQ(std::count_if(carriers.begin(), carriers.end(),
                            [](auto& c) { return c.system == DvbSystem::DvbS; }),
              GetParam().dvbs);
    for (const Carrier& c : carriers) {
        // Link margin 4 dB +- 1 dB over the threshold of the carrier's own code rate.
        EXPECT_GE(c.cnDb, c.requiredCnDb + 3.0) << c.freqMhz;
        EXPECT_LE(c.cnDb, c.requiredCnDb + 5.0) << c.freqMhz;
        if (c.system == DvbSystem::DvbS) {
            EXPECT_NE(c.fecCode, fec::kAuto) << c.freqMhz;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, ShippedTable,
                         testing::Values(TableCase{"0192E.csv", 109, 43},
                                         TableCase{"0130E.csv", 103, 29},
                                         TableCase{"0282E.csv", 83, 57},
                                         TableCase{"0400E.csv", 45, 1}));

TEST(BuiltInScenario, IsAstra192EAsShipped) {
    Scenario builtIn = BuiltInScenario();
    ScenarioLoadResult file = LoadScenarioFile(SatellitePath("0192E.csv"));
    ASSERT_TRUE(file.scenario);
    EXPECT_EQ(builtIn.name, "Astra 19.2E");
    ASSERT_EQ(builtIn.carriers.size(), file.scenario->carriers.size());
    for (size_t i = 0; i < builtIn.carriers.size(); ++i) {
        const Carrier &a = builtIn.carriers[i], &b = file.scenario->carriers[i];
        EXPECT_EQ(a.freqMhz, b.freqMhz);
        EXPECT_EQ(a.polarity, b.polarity);
        EXPECT_EQ(a.symbolRateKsps, b.symbolRateKsps);
        EXPECT_EQ(a.system, b.system);
        EXPECT_EQ(a.cnDb, b.cnDb);  // the rule is deterministic
    }
    EXPECT_FALSE(builtIn.lnb);
    EXPECT_FALSE(builtIn.diseqcPort);
}

TEST(CsvScenario, TakesDirectivesAndOptionalColumnsInAnyOrder) {
    const char* text =
        "# a dish in the garden\r\n"
        "#! name: Test sat\r\n"
        "#! lnb: custom 10750\r\n"
        "#! diseqc-port: 3\r\n"
        "pol,freq_mhz,sr_ksps,system,fec,cn_db,extra,note\r\n"
        "V,11778.5,27500,DVB-S,3/4,9.5,x,first, with comma\r\n"
        "r,3739,1922,dvb-s,7/8,,y,\r\n";
    ScenarioLoadResult r = ParseScenarioText(text, "garden.csv");
    ASSERT_TRUE(r.scenario) << r.error;
    const Scenario& s = *r.scenario;
    EXPECT_EQ(s.name, "Test sat");
    ASSERT_TRUE(s.lnb);
    EXPECT_EQ(s.lnb->kind, LnbModel::Kind::Custom);
    EXPECT_EQ(s.lnb->loLowMhz, 10750);
    EXPECT_EQ(s.lnb->loHighMhz, 10750);
    EXPECT_EQ(s.diseqcPort, 3);
    ASSERT_EQ(s.carriers.size(), 2u);
    EXPECT_EQ(s.carriers[0].freqMhz, 11778.5);
    EXPECT_EQ(s.carriers[0].cnDb, 9.5);
    EXPECT_EQ(s.carriers[0].fecCode, fec::k3_4);
    EXPECT_EQ(s.carriers[0].note, "first, with comma");
    EXPECT_EQ(s.carriers[1].polarity, polarity::kVertical);  // circular R travels as V
    EXPECT_EQ(s.carriers[1].fecCode, fec::k7_8);
    EXPECT_NEAR(s.carriers[1].cnDb, s.carriers[1].requiredCnDb + 4, 1.0);
}

TEST(IniScenario, ReplaysASavedScan) {
    const char* text =
        "[SATTYPE]\r\n1=0130\r\n2=Hot Bird\r\n\r\n[DVB]\r\n0=4\r\n"
        "1=10719,V,27500,34\r\n"
        "2=11034,H,27500,0\r\n"
        "3=10719,V,27500,34\r\n"  // the same transponder scanned twice
        "4=3739,V,1922,\r\n"      // FEC unreadable during the scan
        "\r\n\r\n;File Generated with <Quillox  by Zyl> x\r\n; on 6/12/2026 at 19:05:07\r\n";
    ScenarioLoadResult r = ParseScenarioText(text, "0130.ini");
    ASSERT_TRUE(r.scenario) << r.error;
    const Scenario& s = *r.scenario;
    EXPECT_EQ(s.name, "Hot Bird");
    ASSERT_EQ(s.carriers.size(), 3u);
    EXPECT_EQ(s.carriers[0].fecCode, fec::k3_4);
    EXPECT_EQ(s.carriers[1].fecCode, fec::kAuto);
    EXPECT_EQ(s.carriers[1].polarity, polarity::kHorizontal);
    EXPECT_EQ(s.carriers[2].fecCode, fec::kAuto);
    for (const Carrier& c : s.carriers) EXPECT_EQ(c.system, DvbSystem::DvbS);
}

// Public tables carry combinations the standards do not define; such a line is kept, modelled
// with the nearest defined rate, and named in a warning.
TEST(ScenarioFile, UnusualButRealLinesAreTakenWithAWarning) {
    struct Case {
        const char* line;
        const char* warning;
        double requiredCnDb;
        int32_t fecCode;
    } cases[] = {
        {"10700,H,27500,1/2,DVB-S2,8PSK",
         "t.csv: line 2: DVB-S2 8PSK has no code rate 1/2; modelled as 3/5", 5.50, fec::k1_2},
        {"10700,H,27500,9/10,DVB-S,", "t.csv: line 2: DVB-S has no code rate 9/10; modelled as 7/8",
         8.8, fec::kNoCode},
        {"10700,H,27500,3/4,DVB-S,8PSK",
         "t.csv: line 2: DVB-S carriers are QPSK, not 8PSK; taken as QPSK", 7.3, fec::k3_4},
    };
    for (const Case& c : cases) {
        ScenarioLoadResult r = ParseScenarioText(
            std::string("freq_mhz,pol,sr_ksps,fec,system,modulation\n") + c.line + "\n", "t.csv");
        ASSERT_TRUE(r.scenario) << r.error;
        EXPECT_EQ(r.warnings, std::vector<std::string>{c.warning});
        EXPECT_DOUBLE_EQ(r.scenario->carriers[0].requiredCnDb, c.requiredCnDb) << c.line;
        EXPECT_EQ(r.scenario->carriers[0].fecCode, c.fecCode) << c.line;
    }
}

TEST(ScenarioFile, LoadsFromDiskAndNamesAMissingFile) {
    std::string path = testing::TempDir() + "/sim_scenario_test.ini";
    {
        std::ofstream out(path, std::ios::binary);
        out << ";! lnb: c-band\n[DVB]\n0=1\n1=3739,V,1922,78\n";
    }
    ScenarioLoadResult r = LoadScenarioFile(path);
    ASSERT_TRUE(r.scenario) << r.error;
    EXPECT_EQ(r.scenario->lnb->kind, LnbModel::Kind::CBand);
    EXPECT_EQ(r.scenario->name, "sim_scenario_test.ini");
    std::remove(path.c_str());

    ScenarioLoadResult missing = LoadScenarioFile(path);
    EXPECT_FALSE(missing.scenario);
    EXPECT_NE(missing.error.find(path + ": cannot open"), std::string::npos) << missing.error;
}

TEST(ScenarioFile, ImpairmentDirectivesOverrideThePresetInFileOrder) {
    const char* table =
        "#! sky: realistic\n#! noise-db: 1.5\n#! lnb-offset: -1 2\n#! read-back: mt312\n"
        "#! xpd-db: none\nfreq_mhz,pol,sr_ksps,fec,system\n10700,H,27500,3/4,DVB-S\n";
    ScenarioLoadResult r = ParseScenarioText(table, "sky.csv");
    ASSERT_TRUE(r.scenario) << r.error;
    const SkyImpairments& sky = r.scenario->sky;
    EXPECT_EQ(sky.noiseDb, 1.5);
    EXPECT_EQ(sky.lnbOffsetLowMhz, -1);
    EXPECT_EQ(sky.lnbOffsetHighMhz, 2);
    EXPECT_EQ(sky.lnbOffsetSeededMaxMhz, 0);  // explicit offsets replace the seeded ones
    EXPECT_EQ(sky.card, "mt312");
    EXPECT_FALSE(sky.xpdDb);
    EXPECT_EQ(sky.rateSearch, SkyImpairments::RateSearch::List);  // the preset's
    EXPECT_EQ(sky.ifTiltDb, -4);
    // A preset chosen outside the file (quillox-scan --sky) lies under the file's directives.
    ScenarioLoadResult ini = ParseScenarioText(";! if-tilt-db: -2\n[DVB]\n1=10719,V,27500,34\n",
                                               "x.ini", SkyImpairments::Realistic());
    ASSERT_TRUE(ini.scenario) << ini.error;
    EXPECT_EQ(ini.scenario->sky.ifTiltDb, -2);
    EXPECT_EQ(ini.scenario->sky.linkSpreadDb, 2.5);
}

struct BadFile {
    const char* what;
    const char* text;
    const char* reason;  // expected within the error message
};

class BadScenario : public testing::TestWithParam<BadFile> {};

TEST_P(BadScenario, IsRefusedWithFileLineAndReason) {
    ScenarioLoadResult r = ParseScenarioText(GetParam().text, "bad.txt");
    EXPECT_FALSE(r.scenario);
    EXPECT_EQ(r.error.rfind("bad.txt: ", 0), 0u) << r.error;
    EXPECT_NE(r.error.find(GetParam().reason), std::string::npos) << r.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadScenario,
    testing::Values(
        BadFile{"empty", "", "no header line"},
        BadFile{"header only", "freq_mhz,pol,sr_ksps,fec,system\n", "holds no carriers"},
        BadFile{"missing column", "freq_mhz,pol,fec,system\n10700,H,3/4,DVB-S\n",
                "line 1: header lacks the column 'sr_ksps'"},
        BadFile{"letters for frequency",
                "freq_mhz,pol,sr_ksps,fec,system\n10700,H,27500,3/4,DVB-S\n1O744,H,1,3/4,DVB-S\n",
                "line 3: frequency '1O744' is not a number"},
        BadFile{"polarity", "freq_mhz,pol,sr_ksps,fec,system\n10700,X,27500,3/4,DVB-S\n",
                "line 2: polarisation 'X'"},
        BadFile{"too few fields", "freq_mhz,pol,sr_ksps,fec,system\n10700,H,27500,3/4\n",
                "line 2: expected 5 fields, found 4"},
        BadFile{"no code rate", "freq_mhz,pol,sr_ksps,fec,system\n10700,H,27500,ab,DVB-S2\n",
                "line 2: code rate 'AB' is no fraction"},
        BadFile{"modulation",
                "freq_mhz,pol,sr_ksps,fec,system,modulation\n"
                "10700,H,27500,3/4,DVB-S2,64QAM\n",
                "line 2: DVB-S2 has no modulation 64QAM"},
        BadFile{"zero symbol rate", "freq_mhz,pol,sr_ksps,fec,system\n10700,H,0,3/4,DVB-S\n",
                "symbol rate must lie in"},
        BadFile{"unknown directive", "#! lbn: c-band\nfreq_mhz,pol,sr_ksps,fec,system\n",
                "line 1: unknown directive 'lbn'"},
        BadFile{"diseqc port", "#! diseqc-port: 5\n", "diseqc-port must be 1, 2, 3 or 4"},
        BadFile{"lnb offset", "#! sky: realistic\n#! lnb-offset: 2 x\n", "line 2: lnb-offset must"},
        BadFile{"noise", ";! noise-db: -1\n[DVB]\n", "line 1: noise-db must be a number in 0..10"},
        BadFile{"read-back", "#! read-back: stv0288\n",
                "line 1: read-back must be 'ideal', 'stv0299', 'mt312', 'cx24123', 's5h1420', "
                "'stv090x' or 'cx24116'"},
        BadFile{"sky preset", "#! sky: stormy\n", "line 1: sky must be 'ideal' or 'realistic'"},
        BadFile{"cn_db", "freq_mhz,pol,sr_ksps,fec,system,cn_db\n10700,H,27500,3/4,DVB-S,hi\n",
                "cn_db 'hi'"},
        BadFile{"ini without [DVB]", "[SATTYPE]\n1=0130\n", "no [DVB] section"},
        BadFile{"ini unknown section", "[DVB]\n0=1\n[CABLE]\n", "line 3: unknown section"},
        BadFile{"ini unknown polarity", "[DVB]\n0=1\n1=10719,?,27500,34\n",
                "line 3: polarisation '?'"},
        BadFile{"ini FEC", "[DVB]\n0=1\n1=10719,V,27500,3/4\n", "FEC '3/4' is not"},
        BadFile{"ini fractional frequency", "[DVB]\n1=10719.5,V,27500,34\n",
                "not a whole number of MHz"},
        BadFile{"ini no transponders", "[SATTYPE]\n2=x\n[DVB]\n0=0\n", "holds no carriers"}),
    [](const testing::TestParamInfo<BadFile>& info) {
        std::string name = info.param.what;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

}  // namespace
}  // namespace quillox::satellites
