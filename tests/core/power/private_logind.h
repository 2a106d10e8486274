#pragma once
// A private D-Bus daemon with python3-dbusmock's logind template on it, for tests of the logind
// client. Neither the machine's system bus nor its logind is ever involved.
#include <sys/types.h>

#include <string>
#include <vector>

#include "support/test_platform.h"

struct sd_bus;

namespace quillox::test {

class PrivateLogind {
public:
    // canPowerOff: what CanPowerOff answers; without a mock the bus has no logind at all.
    explicit PrivateLogind(const std::string& canPowerOff, bool withMock = true);
    ~PrivateLogind();
    PrivateLogind(const PrivateLogind&) = delete;
    PrivateLogind& operator=(const PrivateLogind&) = delete;

    const std::string& error() const { return error_; }  // empty when it came up
    const std::string& address() const { return address_; }
    void AddPowerOffWithFlags();  // a newer logind: Debian's template lacks the method
    // The power methods logind received, as "CanPowerOff", "PowerOff False", in order.
    std::vector<std::string> Calls() const;

private:
    bool WaitForMock();

    TempDir dir_;
    pid_t daemon_ = -1;
    pid_t mock_ = -1;
    std::string address_;
    std::string error_;
    sd_bus* bus_ = nullptr;  // the test's own connection, to watch and steer the mock
};

}  // namespace quillox::test
