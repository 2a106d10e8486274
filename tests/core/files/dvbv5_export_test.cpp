// The DVBv5 export, read back by libdvbv5 itself.
#include "files/dvbv5_export.h"

#include <gtest/gtest.h>
#include <libdvbv5/dvb-file.h>
#include <libdvbv5/dvb-v5-std.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "support/test_platform.h"

namespace quillox::test {
namespace {

struct Entry {
    uint32_t system, khz, polarization, sps, fec;
    bool operator==(const Entry&) const = default;
};

std::vector<Entry> ReadBack(const std::string& path) {
    std::unique_ptr<dvb_file, void (*)(dvb_file*)> file(dvb_read_file(path.c_str()), dvb_file_free);
    if (!file) return {};
    std::vector<Entry> entries;
    for (dvb_entry* e = file->first_entry; e != nullptr; e = e->next) {
        Entry got{};
        const auto get = [e](uint32_t cmd, uint32_t& value) {
            if (dvb_retrieve_entry_prop(e, cmd, &value) != 0) value = 0xffffffff;
        };
        get(DTV_DELIVERY_SYSTEM, got.system);
        get(DTV_FREQUENCY, got.khz);
        get(DTV_POLARIZATION, got.polarization);
        get(DTV_SYMBOL_RATE, got.sps);
        get(DTV_INNER_FEC, got.fec);
        entries.push_back(got);
    }
    return entries;
}

TEST(Dvbv5ExportTest, LibraryReadsBackEveryTransponderOfTheList) {
    TempDir dir;
    const std::string path = (dir.path() / "out.conf").string();
    const std::vector<std::string> lines = {
        "1=10719,V,27500,34", "2=10758,H,22000,56", "3=11303,H,2170,0", "4=12188,V,1000,78",
        "5=12522,V,30000,12", "6=11000,?,27500,34", "7=no transponder", "8=11500,H,5632,23"};
    const Dvbv5Export result = WriteDvbv5File(path, lines);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.written, 6);
    EXPECT_EQ(result.skipped, 2);  // unknown polarity, no transponder line
    const std::vector<Entry> expected = {
        {SYS_DVBS, 10719000, POLARIZATION_V, 27500000, FEC_3_4},
        {SYS_DVBS, 10758000, POLARIZATION_H, 22000000, FEC_5_6},
        {SYS_DVBS, 11303000, POLARIZATION_H, 2170000, FEC_AUTO},
        {SYS_DVBS, 12188000, POLARIZATION_V, 1000000, FEC_7_8},
        {SYS_DVBS, 12522000, POLARIZATION_V, 30000000, FEC_1_2},
        {SYS_DVBS, 11500000, POLARIZATION_H, 5632000, FEC_2_3},
    };
    EXPECT_EQ(ReadBack(path), expected);
}

TEST(Dvbv5ExportTest, NothingToWriteOrNowhereToWriteIsAnError) {
    TempDir dir;
    const std::string path = (dir.path() / "out.conf").string();
    EXPECT_FALSE(WriteDvbv5File(path, {}).ok);
    EXPECT_FALSE(WriteDvbv5File(path, {"1=11000,?,27500,34"}).ok);
    EXPECT_FALSE(std::filesystem::exists(path));
    const Dvbv5Export unwritable =
        WriteDvbv5File((dir.path() / "missing" / "out.conf").string(), {"1=10719,V,27500,34"});
    EXPECT_FALSE(unwritable.ok);
    EXPECT_FALSE(unwritable.error.empty());
}

}  // namespace
}  // namespace quillox::test
