#pragma once
// The window's side of a scan engine: the LNB fields at each tuning step, the diagnostic log
// RichEdit1 and the job's gauge. A page derives from it to take the engine's results.
#include <string>

#include "app/form1.h"

namespace quillox {

template <class Host>
class ScanHostOfForm : public Host {
public:
    ScanHostOfForm(TForm1& form, Gauge& gauge) : form_(form), gauge_(gauge) {}

    LnbSettings Lnb() override { return form_.CurrentLnb(); }
    void Log(const std::string& line) override { form_.RichEdit1.append(line); }
    void Progress(int percent) override { gauge_.setPosition(percent); }

protected:
    TForm1& form_;
    Gauge& gauge_;
};

}  // namespace quillox
