#pragma once
// The Spectrum window: a non-modal, resizable picture of the latest sweep readings (see
// sweep_picture.h), opened from the main window's View menu. The model keeps what the front
// end needs to show it: the readings, the request to show it and the dialogs of its Save
// buttons, and the controls of its job, the strength pass (run by the main window, which holds
// the tuner: see TForm1::bt_strengthClick). Zooming is the view's own state.
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/sweep_picture.h"
#include "app/sweep_readings.h"
#include "form/controls.h"
#include "form/file_dialog.h"
#include "form/window.h"

namespace quillox {

class TForm_Spectrum : public Window {
public:
    // The Save dialogs start in homeDir (with its trailing separator).
    TForm_Spectrum(Dialogs& dialogs, const SpectrumStore& readings, const StrengthStore& strength,
                   const std::string& homeDir);

    const SpectrumStore& readings;
    const StrengthStore& strength;
    FileDialog sd_spectrum_png;
    FileDialog sd_spectrum_svg;

    // The strength pass: start, stop and its share done.
    Button bt_strength{*this, nullptr, "bt_strength", "Strength"};
    Button bt_strength_stop{*this, nullptr, "bt_strength_stop", "Stop"};
    Gauge pbar_strength{*this, nullptr, "pbar_strength"};

    // Asks the front end to show the window, or to raise it when it is shown already; the
    // observers run on the calling thread.
    void Show();
    int subscribeShow(std::function<void()> observer);
    void unsubscribeShow(int id);

    // The picture's data: that of the method whose job wrote last, with the strength passes.
    SpectrumData Picture() const;
    // Grows with every change of the picture's data.
    uint64_t generation() const { return readings.generation() + strength.generation(); }

    // Where to save the picture: the format's dialog, then the question before replacing a
    // file. nullopt when cancelled, answered No, or named with another extension (said why).
    std::optional<std::string> AskPictureFile(PictureFormat format);

private:
    std::mutex observerMutex_;
    std::vector<std::pair<int, std::function<void()>>> showObservers_;
    int nextObserverId_ = 1;
};

}  // namespace quillox
