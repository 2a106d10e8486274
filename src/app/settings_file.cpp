#include "app/settings_file.h"

#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <variant>

#include "app/form1.h"
#include "files/profile_file.h"

namespace quillox {
namespace {

// ---- Kinds of keys ------------------------------------------------------------------------
// A text key stores the control's text unchanged; a check key the box's state as 1/0. Integer
// and boolean keys go through an encoder (get) and a decoder (set) that selects radios or moves
// the window; selecting a radio or checking a box from here runs its click handler, so the
// controls that depend on it follow as after a user click.

struct TextKey {
    Edit& (*field)(TForm1&);
    const char* fallback;
    bool underHome = false;  // fallback is relative to the user's home folder
};
struct CheckKey {
    CheckBox& (*box)(TForm1&);
    bool fallback;
};
struct IntKey {
    int32_t (*get)(TForm1&);
    void (*set)(TForm1&, int32_t);
    int32_t fallback;
};
struct BoolKey {
    bool (*get)(TForm1&);
    void (*set)(TForm1&, bool);
    bool fallback;
};

struct SettingKey {
    const char* section;
    const char* key;
    std::variant<TextKey, CheckKey, IntKey, BoolKey> binding;
    bool (*readWhen)(const ProfileFile&) = nullptr;  // null: always read
};

#define FIELD(name) [](TForm1& f) -> Edit& { return f.name; }
#define BOX(name) [](TForm1& f) -> CheckBox& { return f.name; }

// ---- Encoders and decoders ----------------------------------------------------------------

int32_t BandCode(TForm1& f) {
    if (f.rb_Ku_Linear.checked()) return 1;
    if (f.rb_Cband.checked()) return 2;
    return 3;
}

// The band radios react to mouse release only, so selecting one here runs its release handler
// explicitly to set the LOF fields. Custom keeps the LOF texts read just before.
void SelectBand(TForm1& f, int32_t code) {
    switch (code) {
        case 1:
            f.rb_Ku_Linear.setChecked(true);
            f.rb_Ku_LinearMouseUp();
            break;
        case 2:
            f.rb_Cband.setChecked(true);
            f.rb_CbandMouseUp();
            break;
        case 3:
            f.rb_Custom.setChecked(true);
            f.rb_CustomMouseUp();
            break;
        default:
            break;  // unknown: the window keeps its state
    }
}

bool CustomBandStored(const ProfileFile& file) {
    return file.ReadInteger("Settings", "Band", 1) == 3;
}

int32_t SymbolRateClass(TForm1& f) {
    if (f.rb_sr_menor7500.checked()) return 0;
    if (f.rb_sr_menor.checked()) return 1;
    if (f.rb_sr_maior.checked()) return 2;
    if (f.rb_sr_custom.checked()) return 3;
    return 0;
}

void SelectSymbolRateClass(TForm1& f, int32_t code) {
    switch (code) {
        case 0:
            f.rb_sr_menor7500.setChecked(true);
            break;
        case 1:
            f.rb_sr_menor.setChecked(true);
            break;
        case 3:
            f.rb_sr_custom.setChecked(true);
            break;
        default:
            f.rb_sr_maior.setChecked(true);
            break;
    }
}

int32_t FineTuningMode(TForm1& f) {
    if (f.rb_ft_best.checked()) return 3;
    if (f.rb_ft_normal.checked()) return 2;
    if (f.rb_ft_none.checked()) return 1;
    return 0;
}

void SelectFineTuningMode(TForm1& f, int32_t code) {
    switch (code) {
        case 1:
            f.rb_ft_none.setChecked(true);
            break;
        case 2:
            f.rb_ft_normal.setChecked(true);
            break;
        case 3:
            f.rb_ft_best.setChecked(true);
            break;
        default:
            break;
    }
}

// ---- The table, in the order the keys are written ----------------------------------------
// Reading walks it in the same order. The three LOF keys come before Band when written, but
// are read only for the Custom band, before Band selects it; the other bands set them.

const SettingKey kSettings[] = {
    {"Form", "Top",
     IntKey{[](TForm1& f) { return int32_t{f.top()}; }, [](TForm1& f, int32_t v) { f.setTop(v); },
            100}},
    {"Form", "Left",
     IntKey{[](TForm1& f) { return int32_t{f.left()}; }, [](TForm1& f, int32_t v) { f.setLeft(v); },
            100}},

    {"Settings", "LOF_Low", TextKey{FIELD(ed_LOF_low), "9750"}, CustomBandStored},
    {"Settings", "LOF_Sw", TextKey{FIELD(ed_LOF_sw), "11700"}, CustomBandStored},
    {"Settings", "LOF_Higth", TextKey{FIELD(ed_LOF_higth), "10600"}, CustomBandStored},
    {"Settings", "LNB_Sel", TextKey{FIELD(cbLNB_Sel), "22 KHz"}},
    {"Settings", "DiSEqC", TextKey{FIELD(cbDiSEqC), "None"}},
    {"Settings", "Band", IntKey{BandCode, SelectBand, 1}},

    {"Prob_Freq", "Start", TextKey{FIELD(ed_f_start), "10700"}},
    {"Prob_Freq", "End", TextKey{FIELD(ed_f_end), "12750"}},
    {"Prob_Freq", "Step", TextKey{FIELD(ed_f_step), "5"}},
    {"Prob_Freq", "Delay", TextKey{FIELD(ed_f_delay), "750"}},
    {"Prob_Freq", "SR_custom",
     IntKey{[](TForm1& f) { return int32_t{f.TBar_custom.position()}; },
            [](TForm1& f, int32_t v) { f.TBar_custom.setPosition(v); }, 8}},
    {"Prob_Freq", "SR", IntKey{SymbolRateClass, SelectSymbolRateClass, 2}},

    {"Freq_r23", "Start", TextKey{FIELD(ed_f_start_r23), "10700"}},
    {"Freq_r23", "End", TextKey{FIELD(ed_f_end_r23), "12750"}},
    {"Freq_r23", "Step", TextKey{FIELD(ed_f_step_r23), "5"}},
    {"Freq_r23", "Delay", TextKey{FIELD(ed_f_delay_r23), "750"}},
    {"Freq_r23", "Vert", CheckKey{BOX(cb_Vertical), true}},
    {"Freq_r23", "Hor", CheckKey{BOX(cb_Horizontal), true}},
    {"Freq_r23", "f_t", CheckKey{BOX(cb_Fine_Tuning), true}},
    {"Freq_r23", "c_delay", CheckKey{BOX(cb_custom_delay), true}},
    {"Freq_r23", "C__Delay", TextKey{FIELD(ed_F_Tuning), "350"}},
    {"Freq_r23", "sr_range_custom",
     BoolKey{[](TForm1& f) { return f.rb_sr_range_custom.checked(); },
             [](TForm1& f, bool custom) {
                 if (custom)
                     f.rb_sr_range_custom.setChecked(true);
                 else
                     f.rb_sr_all.setChecked(true);
             },
             false}},
    {"Freq_r23", "c_from", TextKey{FIELD(ed_sr_range_from), "4"}},
    {"Freq_r23", "c_to", TextKey{FIELD(ed_sr_range_to), "45"}},

    {"Symbol_Rates", "Delay", TextKey{FIELD(ed_sr_delay), "750"}},

    {"INI_file", "SAT_Name", TextKey{FIELD(ed_sat_name), "Sat_name"}},
    {"INI_file", "SAT_Position_E_W", TextKey{FIELD(cb_E_W), "E"}},
    {"INI_file", "SAT_Position_I", TextKey{FIELD(ed_sat_pos1), "0"}},
    {"INI_file", "SAT_Position_D", TextKey{FIELD(ed_sat_pos2), "0"}},

    {"INI_file_r23", "SAT_Name", TextKey{FIELD(ed_sat_name_r23), "Sat_name"}},
    {"INI_file_r23", "SAT_Position_E_W", TextKey{FIELD(cb_E_W_r23), "E"}},
    {"INI_file_r23", "SAT_Position_I", TextKey{FIELD(ed_sat_pos1_r23), "0"}},
    {"INI_file_r23", "SAT_Position_D", TextKey{FIELD(ed_sat_pos2_r23), "0"}},

    {"Transponder", "Freq", TextKey{FIELD(Edit12), "10700"}},
    {"Transponder", "Pol", TextKey{FIELD(cbPolarity), "VERTICAL"}},
    {"Transponder", "FEC", TextKey{FIELD(cbFec), "AUTO"}},

    {"Get_Symbol_Rate", "Start", TextKey{FIELD(ed_start), "1"}},
    {"Get_Symbol_Rate", "End", TextKey{FIELD(ed_end), "45000"}},
    {"Get_Symbol_Rate", "Step", TextKey{FIELD(ed_step), "20"}},
    {"Get_Symbol_Rate", "Delay", TextKey{FIELD(ed_delay), "300"}},
    {"Get_Symbol_Rate", "Fine Tuning", IntKey{FineTuningMode, SelectFineTuningMode, 2}},

    {"Signal_Info", "Freq", TextKey{FIELD(ed_sig_freq), "10700"}},
    {"Signal_Info", "Pol", TextKey{FIELD(cb_sig_Polarity), "VERTICAL"}},
    {"Signal_Info", "S_R", TextKey{FIELD(ed_sig_sr), "1"}},
    {"Signal_Info", "FEC", TextKey{FIELD(cb_sig_Fec), "AUTO"}},
    {"Signal_Info", "Refresh", TextKey{FIELD(ed_sig_refresh), "500"}},

    // The other pages' shutdown-variant radios and folder follow through their handlers.
    {"Save_Shutdown", "XP",
     BoolKey{[](TForm1& f) { return f.rb_win_xp_r26.checked(); },
             [](TForm1& f, bool xp) {
                 if (xp)
                     f.rb_win_xp_r26.setChecked(true);
                 else
                     f.rb_win_98_r26.setChecked(true);
             },
             true}},
    {"Save_Shutdown", "Dir", TextKey{FIELD(ed_shutdown_r26), "", true}},
    {"Save_Shutdown", "File_sr", TextKey{FIELD(ed_sr_job), "Get_-_Symbol_Rate_(result).txt", true}},
};

#undef FIELD
#undef BOX

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

std::string DefaultText(const TForm1& form, const TextKey& key) {
    return key.underHome ? form.platform().homeDir + key.fallback : key.fallback;
}

void ReadKey(TForm1& form, const ProfileFile& file, const SettingKey& k) {
    if (k.readWhen != nullptr && !k.readWhen(file)) return;
    std::visit(
        Overloaded{
            [&](const TextKey& t) {
                t.field(form).setText(file.ReadString(k.section, k.key, DefaultText(form, t)));
            },
            [&](const CheckKey& c) {
                c.box(form).setChecked(file.ReadBool(k.section, k.key, c.fallback));
            },
            [&](const IntKey& i) { i.set(form, file.ReadInteger(k.section, k.key, i.fallback)); },
            [&](const BoolKey& b) { b.set(form, file.ReadBool(k.section, k.key, b.fallback)); },
        },
        k.binding);
}

void WriteKey(TForm1& form, ProfileFile& file, const SettingKey& k) {
    std::visit(
        Overloaded{
            [&](const TextKey& t) { file.WriteString(k.section, k.key, t.field(form).text()); },
            [&](const CheckKey& c) { file.WriteBool(k.section, k.key, c.box(form).checked()); },
            [&](const IntKey& i) { file.WriteInteger(k.section, k.key, i.get(form)); },
            [&](const BoolKey& b) { file.WriteBool(k.section, k.key, b.get(form)); },
        },
        k.binding);
}

std::string WithSlash(const std::string& folder) {
    return !folder.empty() && folder.back() != '/' ? folder + "/" : folder;
}

uint32_t ReadSeed(const ProfileFile& file, uint32_t fallback) {
    const std::string text = file.ReadString("Device", "Seed", "");
    uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty() ? value
                                                                                     : fallback;
}

}  // namespace

// ---- Location ------------------------------------------------------------------------------

std::string SettingsPathFor(const std::string& programDir, bool programDirWritable,
                            const std::string& xdgConfigHome, const std::string& home) {
    if (programDirWritable) return WithSlash(programDir) + "Settings.ini";
    const std::string config = !xdgConfigHome.empty() && xdgConfigHome[0] == '/'
                                   ? WithSlash(xdgConfigHome)
                                   : WithSlash(home) + ".config/";
    return config + "quillox/Settings.ini";
}

bool IsWritableFolder(const std::string& folder) {
    return !folder.empty() && access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string SettingsPath(const std::string& programDir, const std::string& fallbackHome) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    return SettingsPathFor(programDir, IsWritableFolder(programDir), xdg != nullptr ? xdg : "",
                           home != nullptr && home[0] != '\0' ? home : fallbackHome);
}

// ---- Section Device ------------------------------------------------------------------------

namespace {

// The lock time of one tune attempt per demodulator family, in milliseconds.
struct TimeoutKey {
    const char* key;
    int32_t LockTimeouts::*value;
};
constexpr TimeoutKey kTimeoutKeys[] = {
    {"LockTimeoutStv0299", &LockTimeouts::stv0299}, {"LockTimeoutZarlink", &LockTimeouts::zarlink},
    {"LockTimeoutCx24123", &LockTimeouts::cx24123}, {"LockTimeoutS5h1420", &LockTimeouts::s5h1420},
    {"LockTimeoutOther", &LockTimeouts::other},
};

// A time that is no positive number of milliseconds keeps the default.
int32_t ReadMs(const ProfileFile& file, const char* key, int32_t fallback) {
    const int32_t ms = file.ReadInteger("Device", key, fallback);
    return ms > 0 ? ms : fallback;
}

}  // namespace

DeviceSettings ReadDeviceSettings(const ProfileFile& file) {
    DeviceSettings s;
    s.kind = file.ReadString("Device", "Kind", s.kind);
    s.adapter = file.ReadInteger("Device", "Adapter", s.adapter);
    s.frontend = file.ReadInteger("Device", "Frontend", s.frontend);
    s.scenario = file.ReadString("Device", "Scenario", s.scenario);
    s.seed = ReadSeed(file, s.seed);
    s.simulatedDvbs2 = file.ReadBool("Device", "SimulatedDvbS2", s.simulatedDvbs2);
    s.lnbPowerUpMs = ReadMs(file, "LnbPowerUpMs", s.lnbPowerUpMs);
    for (const TimeoutKey& t : kTimeoutKeys)
        s.lockTimeouts.*t.value = ReadMs(file, t.key, s.lockTimeouts.*t.value);
    s.record = file.ReadString("Device", "Record", s.record);
    return s;
}

DeviceSettings ReadDeviceSettings(const std::string& settingsPath) {
    return ReadDeviceSettings(ProfileFile::Load(settingsPath));
}

void WriteDeviceSettings(ProfileFile& file, const DeviceSettings& s) {
    file.WriteString("Device", "Kind", s.kind);
    file.WriteInteger("Device", "Adapter", s.adapter);
    file.WriteInteger("Device", "Frontend", s.frontend);
    file.WriteString("Device", "Scenario", s.scenario);
    file.WriteString("Device", "Seed", std::to_string(s.seed));
    file.WriteBool("Device", "SimulatedDvbS2", s.simulatedDvbs2);
    file.WriteInteger("Device", "LnbPowerUpMs", s.lnbPowerUpMs);
    for (const TimeoutKey& t : kTimeoutKeys)
        file.WriteInteger("Device", t.key, s.lockTimeouts.*t.value);
    file.WriteString("Device", "Record", s.record);
}

// ---- The window's settings -----------------------------------------------------------------

// Values are not checked here: a wrong text reaches its control and the page's own validation
// refuses it when used (the first Apply at start-up checks the Settings group).
void TForm1::ReadSettings() {
    const ProfileFile file = ProfileFile::Load(settingsPath);
    for (const SettingKey& key : kSettings) ReadKey(*this, file, key);
}

// Rewrites our keys in the existing file, so sections and keys of others survive. Section
// Device is not edited by the window; it is written back as read, completed with defaults.
// Write errors are not reported: nothing here may keep the window from closing.
void TForm1::WriteSettings() {
    ProfileFile file = ProfileFile::Load(settingsPath);
    for (const SettingKey& key : kSettings) WriteKey(*this, file, key);
    WriteDeviceSettings(file, ReadDeviceSettings(file));
    file.Save(settingsPath);
}

}  // namespace quillox
