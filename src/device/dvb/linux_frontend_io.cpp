#include "device/dvb/linux_frontend_io.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace quillox::dvb {
namespace {

int Result(int rc) {
    return rc < 0 ? errno : 0;
}

}  // namespace

LinuxFrontendIo::~LinuxFrontendIo() {
    close();
}

int LinuxFrontendIo::open(const std::string& path, bool readWrite) {
    close();
    int fd = ::open(path.c_str(), (readWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) return errno;
    fd_ = fd;
    return 0;
}

void LinuxFrontendIo::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

int LinuxFrontendIo::getInfo(dvb_frontend_info& info) {
    return Result(::ioctl(fd_, FE_GET_INFO, &info));
}

int LinuxFrontendIo::setProps(std::span<dtv_property> props) {
    dtv_properties list{static_cast<__u32>(props.size()), props.data()};
    return Result(::ioctl(fd_, FE_SET_PROPERTY, &list));
}

int LinuxFrontendIo::getProps(std::span<dtv_property> props) {
    dtv_properties list{static_cast<__u32>(props.size()), props.data()};
    return Result(::ioctl(fd_, FE_GET_PROPERTY, &list));
}

// Voltage, tone and burst travel by value in the ioctl's third argument.
int LinuxFrontendIo::setVoltage(fe_sec_voltage voltage) {
    return Result(::ioctl(fd_, FE_SET_VOLTAGE, static_cast<unsigned long>(voltage)));
}

int LinuxFrontendIo::setTone(fe_sec_tone_mode tone) {
    return Result(::ioctl(fd_, FE_SET_TONE, static_cast<unsigned long>(tone)));
}

int LinuxFrontendIo::sendMasterCmd(const dvb_diseqc_master_cmd& cmd) {
    dvb_diseqc_master_cmd copy = cmd;
    return Result(::ioctl(fd_, FE_DISEQC_SEND_MASTER_CMD, &copy));
}

int LinuxFrontendIo::sendBurst(fe_sec_mini_cmd burst) {
    return Result(::ioctl(fd_, FE_DISEQC_SEND_BURST, static_cast<unsigned long>(burst)));
}

int LinuxFrontendIo::setTuneMode(uint32_t flags) {
    return Result(::ioctl(fd_, FE_SET_FRONTEND_TUNE_MODE, static_cast<unsigned long>(flags)));
}

int LinuxFrontendIo::readStatus(fe_status_t& status) {
    return Result(::ioctl(fd_, FE_READ_STATUS, &status));
}

int LinuxFrontendIo::readSnr(uint16_t& snr) {
    return Result(::ioctl(fd_, FE_READ_SNR, &snr));
}

int LinuxFrontendIo::readStrength(uint16_t& strength) {
    return Result(::ioctl(fd_, FE_READ_SIGNAL_STRENGTH, &strength));
}

int LinuxFrontendIo::readBer(uint32_t& ber) {
    return Result(::ioctl(fd_, FE_READ_BER, &ber));
}

std::unique_ptr<FrontendIo> MakeLinuxFrontendIo() {
    return std::make_unique<LinuxFrontendIo>();
}

}  // namespace quillox::dvb
