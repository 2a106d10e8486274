#include "app/form_sweep_view.h"

#include <filesystem>

#include "platform/platform.h"

namespace quillox {

// Closed until the menu opens it.
TForm_Spectrum::TForm_Spectrum(Dialogs& dialogs, const SpectrumStore& store,
                               const StrengthStore& strengthStore, const std::string& homeDir)
    : Window(dialogs, "Spectrum", 900, 480),
      readings(store),
      strength(strengthStore),
      sd_spectrum_png(*this, "sd_spectrum_png", FileDialog::Mode::Save, "png",
                      "PNG image  *.png|*.png", homeDir + "spectrum.png"),
      sd_spectrum_svg(*this, "sd_spectrum_svg", FileDialog::Mode::Save, "svg",
                      "SVG image  *.svg|*.svg", homeDir + "spectrum.svg") {
    bt_strength.setHint(
        "Reads the signal level at every MHz over the range and polarities of the latest sweep "
        "(before any sweep: those of GO)");
    bt_strength_stop.setEnabled(false);
    Close();
}

void TForm_Spectrum::Show() {
    Reopen();
    std::vector<std::function<void()>> observers;
    {
        std::lock_guard lock(observerMutex_);
        for (const auto& entry : showObservers_) observers.push_back(entry.second);
    }
    for (const auto& observer : observers) observer();
}

int TForm_Spectrum::subscribeShow(std::function<void()> observer) {
    std::lock_guard lock(observerMutex_);
    showObservers_.emplace_back(nextObserverId_, std::move(observer));
    return nextObserverId_++;
}

void TForm_Spectrum::unsubscribeShow(int id) {
    std::lock_guard lock(observerMutex_);
    std::erase_if(showObservers_, [id](const auto& entry) { return entry.first == id; });
}

SpectrumData TForm_Spectrum::Picture() const {
    SpectrumData data =
        readings.Snapshot(readings.latest().value_or(SweepMethod::ProbableFrequency));
    data.strength = strength.Snapshot();
    return data;
}

std::optional<std::string> TForm_Spectrum::AskPictureFile(PictureFormat format) {
    FileDialog& dialog = format == PictureFormat::Png ? sd_spectrum_png : sd_spectrum_svg;
    if (!dialog.Execute()) return std::nullopt;
    const std::string path = dialog.fileName();
    if (PictureFormatOf(path) != format) {
        dialogs().ErrorBox("The File:\n" + path + "\nmust end with ." + dialog.defaultExt() + "!");
        return std::nullopt;
    }
    std::error_code error;
    if (std::filesystem::exists(path, error) &&
        !dialogs().ConfirmBox(path + "\nAlready exists!\n\nDo you want to replace it?"))
        return std::nullopt;
    return path;
}

}  // namespace quillox
