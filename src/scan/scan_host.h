#pragma once
// What a scan engine tells the one who runs it, and what it asks of it in the middle of a job.
// The engines call the host on the job's own thread.
#include <cstdint>
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

// What the tuner reported for a transponder it locked.
struct FoundTransponder {
    int32_t mhz = 0;
    int32_t polarityCode = -1;
    int32_t ksps = 0;
    int32_t fecCode = 0;
};

// A host that takes the transponders a scan finds, in the order found.
class TransponderScanHost : public ScanHost {
public:
    virtual void Found(const FoundTransponder& transponder) = 0;
};

}  // namespace quillox
