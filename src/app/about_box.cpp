#include "app/about_box.h"

#include "platform/platform.h"

namespace quillox {

const char* const kHomePageUrl = "https://quillox.example.org/";
const char* const kHelpPortUrl = "https://quillox.example.org/help/pt/";
const char* const kHelpEngUrl = "https://quillox.example.org/help/en/";
const char* const kContactMail = "mailto:quillox@example.org";

TAboutBox::TAboutBox(Dialogs& dialogs, Shell& shell)
    : Window(dialogs, "About", 300, 230), shell_(shell) {
    lb_home_page.setText(kHomePageUrl);
    lb_email.setText("quillox@example.org");
    ProgramIcon.onClick = [this] { OpenHomePage(); };
    OKButton.onClick = [this] { Close(); };
}

void TAboutBox::OpenHomePage() {
    shell_.Open(kHomePageUrl);
}
void TAboutBox::OpenHelpPort() {
    shell_.Open(kHelpPortUrl);
}
void TAboutBox::OpenHelpEng() {
    shell_.Open(kHelpEngUrl);
}
void TAboutBox::OpenEmail() {
    shell_.Open(kContactMail);
}

}  // namespace quillox
