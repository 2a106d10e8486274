#pragma once
// Who holds a frontend open for tuning, learnt from /proc without touching the frontend: a
// read-write open of the node starts the kernel's frontend thread (init, a firmware load on some
// cards) and its close powers the LNB down, so a listing must not try one to see if it is free.
#include <string>
#include <vector>

namespace quillox::dvb {

struct FrontendUsers {
    std::vector<std::string> writers;  // "1234 (dvbv5-zap)": processes with it open for writing
    int unchecked = 0;  // processes whose open files this user may not read (other users')
};

// Every process under procRoot with nodePath open read-write or write-only.
FrontendUsers FindFrontendWriters(const std::string& nodePath,
                                  const std::string& procRoot = "/proc");

}  // namespace quillox::dvb
