#pragma once
// The real seam: open(2) and ioctl(2) on /dev/dvb/adapterN/frontendM.
#include "device/dvb/frontend_io.h"

namespace quillox::dvb {

// One file descriptor; results are raw, EINTR included: OpenDvbFrontend and
// FindFirstDvbsFrontend put it behind EintrRetryingIo.
class LinuxFrontendIo : public FrontendIo {
public:
    LinuxFrontendIo() = default;
    ~LinuxFrontendIo() override;
    LinuxFrontendIo(const LinuxFrontendIo&) = delete;
    LinuxFrontendIo& operator=(const LinuxFrontendIo&) = delete;

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
    int fd_ = -1;
};

std::unique_ptr<FrontendIo> MakeLinuxFrontendIo();

}  // namespace quillox::dvb
