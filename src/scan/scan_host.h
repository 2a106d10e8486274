#pragma once
// What a scan engine tells the one who runs it, and what it asks of it in the middle of a job.
// The engines call the host on the job's own thread.
#include <string>

#include "scan/lnb_tuning.h"

namespace quillox {

class ScanHost {
public:
    virtual ~ScanHost() = default;
    virtual LnbSettings Lnb() = 0;                  // asked at each tuning step
    virtual void Log(const std::string& line) = 0;  // one line of the diagnostic log
    virtual void Progress(int percent) = 0;         // 0..100
};

}  // namespace quillox
