#pragma once
// The narrow, typed seam between the DVB device and the kernel: one object is one file
// descriptor of a frontend node. Every call returns 0 or a positive errno value (524 is the
// kernel's ENOTSUPP for a driver without that operation). The enums go by value and the structs by
// reference, so the by-value/by-pointer mix of the raw ioctls cannot be got wrong.
#include <linux/dvb/frontend.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace quillox::dvb {

// errno of a missing driver operation (the kernel's internal ENOTSUPP, not EOPNOTSUPP).
constexpr int kErrNotSupported = 524;

// What FE_GET_INFO and DTV_ENUM_DELSYS told about a frontend.
struct FrontendInfo {
    dvb_frontend_info info{};
    std::vector<uint32_t> deliverySystems;  // empty: a driver too old to list them

    bool Has(uint32_t system) const;
};

class FrontendIo {
public:
    virtual ~FrontendIo() = default;

    virtual int open(const std::string& path, bool readWrite) = 0;
    virtual void close() = 0;  // harmless when not open
    virtual int getInfo(dvb_frontend_info& info) = 0;
    virtual int setProps(std::span<dtv_property> props) = 0;
    virtual int getProps(std::span<dtv_property> props) = 0;
    virtual int setVoltage(fe_sec_voltage voltage) = 0;
    virtual int setTone(fe_sec_tone_mode tone) = 0;
    virtual int sendMasterCmd(const dvb_diseqc_master_cmd& cmd) = 0;
    virtual int sendBurst(fe_sec_mini_cmd burst) = 0;
    // FE_SET_FRONTEND_TUNE_MODE: FE_TUNE_MODE_ONESHOT (the core tunes once, no zig-zag) or 0.
    // Opening the node read-write resets it to 0.
    virtual int setTuneMode(uint32_t flags) = 0;
    virtual int readStatus(fe_status_t& status) = 0;
    virtual int readSnr(uint16_t& snr) = 0;
    virtual int readStrength(uint16_t& strength) = 0;
    virtual int readBer(uint32_t& ber) = 0;
};

// Makes a fresh, unopened FrontendIo. The real program uses LinuxFrontendIo; tests a fake.
using FrontendIoFactory = std::function<std::unique_ptr<FrontendIo>()>;

// Repeats a call that a signal interrupted (EINTR) until it completes; every other result passes.
// Wraps any FrontendIo so that the device never sees EINTR.
class EintrRetryingIo : public FrontendIo {
public:
    explicit EintrRetryingIo(std::unique_ptr<FrontendIo> inner);

    int open(const std::string& path, bool readWrite) override;
    void close() override;
    int getInfo(dvb_frontend_info& info) override;
    int setProps(std::span<dtv_property> props) override;
    int getProps(std::span<dtv_property> props) override;
    int setVoltage(fe_sec_voltage voltage) override;
    int setTone(fe_sec_tone_mode tone) override;
    int sendMasterCmd(const dvb_diseqc_master_cmd& cmd) override;
    int sendBurst(fe_sec_mini_cmd burst) override;
    int setTuneMode(uint32_t flags) override;
    int readStatus(fe_status_t& status) override;
    int readSnr(uint16_t& snr) override;
    int readStrength(uint16_t& strength) override;
    int readBer(uint32_t& ber) override;

private:
    std::unique_ptr<FrontendIo> inner_;
};

}  // namespace quillox::dvb
