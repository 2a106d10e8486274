#include "device/dvb/frontend_io.h"

#include <algorithm>
#include <cerrno>

namespace quillox::dvb {
namespace {

template <typename Call>
int RetryOnEintr(Call call) {
    int rc;
    do {
        rc = call();
    } while (rc == EINTR);
    return rc;
}

}  // namespace

bool FrontendInfo::Has(uint32_t system) const {
    return std::find(deliverySystems.begin(), deliverySystems.end(), system) !=
           deliverySystems.end();
}

EintrRetryingIo::EintrRetryingIo(std::unique_ptr<FrontendIo> inner) : inner_(std::move(inner)) {}

int EintrRetryingIo::open(const std::string& path, bool readWrite) {
    return RetryOnEintr([&] { return inner_->open(path, readWrite); });
}
void EintrRetryingIo::close() {
    inner_->close();
}
int EintrRetryingIo::getInfo(dvb_frontend_info& info) {
    return RetryOnEintr([&] { return inner_->getInfo(info); });
}
int EintrRetryingIo::setProps(std::span<dtv_property> props) {
    return RetryOnEintr([&] { return inner_->setProps(props); });
}
int EintrRetryingIo::getProps(std::span<dtv_property> props) {
    return RetryOnEintr([&] { return inner_->getProps(props); });
}
int EintrRetryingIo::setVoltage(fe_sec_voltage voltage) {
    return RetryOnEintr([&] { return inner_->setVoltage(voltage); });
}
int EintrRetryingIo::setTone(fe_sec_tone_mode tone) {
    return RetryOnEintr([&] { return inner_->setTone(tone); });
}
int EintrRetryingIo::sendMasterCmd(const dvb_diseqc_master_cmd& cmd) {
    return RetryOnEintr([&] { return inner_->sendMasterCmd(cmd); });
}
int EintrRetryingIo::sendBurst(fe_sec_mini_cmd burst) {
    return RetryOnEintr([&] { return inner_->sendBurst(burst); });
}

int EintrRetryingIo::setTuneMode(uint32_t flags) {
    return RetryOnEintr([&] { return inner_->setTuneMode(flags); });
}
int EintrRetryingIo::readStatus(fe_status_t& status) {
    return RetryOnEintr([&] { return inner_->readStatus(status); });
}
int EintrRetryingIo::readSnr(uint16_t& snr) {
    return RetryOnEintr([&] { return inner_->readSnr(snr); });
}
int EintrRetryingIo::readStrength(uint16_t& strength) {
    return RetryOnEintr([&] { return inner_->readStrength(strength); });
}
int EintrRetryingIo::readBer(uint32_t& ber) {
    return RetryOnEintr([&] { return inner_->readBer(ber); });
}

}  // namespace quillox::dvb
