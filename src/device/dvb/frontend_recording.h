#pragma once
// The text format of a frontend recording: every call through the FrontendIo seam, one line each,
// with its arguments, its result (0 or the errno) and what it gave back. The recorder writes it,
// the replay reads it; docs/device-and-simulated-dish.md describes it for people.
//
//     quillox-frontend-recording 1
//     # comments and blank lines are skipped
//     0 open /dev/dvb/adapter0/frontend0 rw -> 0
//     2 get ENUM_DELSYS -> 0 ENUM_DELSYS=5
//     215 voltage 13 -> 0
//     1180 status -> 0 0x1f
//     1180 snr -> EAGAIN
#include <linux/dvb/frontend.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillox::dvb {

inline constexpr const char* kRecordingMagic = "quillox-frontend-recording";
inline constexpr int kRecordingVersion = 1;

// A call and its arguments as a line holds them; replay compares these texts. Calls without
// arguments are just their names: "close", "info", "status", "snr", "strength", "ber".
std::string OpenCallText(const std::string& path, bool readWrite);  // "open PATH rw"
std::string SetCallText(std::span<const dtv_property> props);       // "set FREQUENCY=1612000 ..."
std::string GetCallText(std::span<const dtv_property> props);       // "get STAT_CNR ..."
std::string VoltageCallText(fe_sec_voltage voltage);                // "voltage 13|18|off"
std::string ToneCallText(fe_sec_tone_mode tone);                    // "tone on|off"
std::string MasterCmdCallText(const dvb_diseqc_master_cmd& cmd);    // "diseqc e0 10 38 f2"
std::string BurstCallText(fe_sec_mini_cmd burst);                   // "burst A|B"
std::string TuneModeCallText(uint32_t flags);                       // "tune-mode oneshot|normal"

// What a successful call gave back, as a line holds it.
std::string InfoValuesText(const dvb_frontend_info& info);
std::string GetValuesText(std::span<const dtv_property> props);

// "MS CALL -> RESULT[ VALUES]"; values are written only for a call that succeeded.
std::string RecordingLine(int64_t ms, const std::string& call, int result,
                          const std::string& values);
std::string ResultText(int result);  // "0", the errno's name ("EBUSY"), else its number ("524")

// One line of a recording, read back.
struct RecordedCall {
    int line = 0;      // in the file, from 1
    int64_t ms = 0;    // device clock when the call returned, from the start of the recording
    std::string call;  // call and arguments as written, e.g. "voltage 18"
    int result = 0;    // 0 or errno
    // What the call gave back (only when result is 0):
    dvb_frontend_info info{};         // info
    std::vector<dtv_property> props;  // get: every property, values filled in
    uint32_t value = 0;               // status, snr, strength, ber
};

struct RecordingRead {
    std::vector<RecordedCall> calls;
    std::string error;  // "line N: what is wrong" when the text is no usable recording
};

RecordingRead ParseRecording(const std::string& text);
RecordingRead LoadRecording(const std::string& path);  // errors name the file

// The path of an "open" call, or nullopt for another call.
std::optional<std::string> OpenedPath(const RecordedCall& call);

}  // namespace quillox::dvb
