#pragma once
// The About box: product name, version, and links to the program's pages.
#include <string>

#include "base/version.h"
#include "form/controls.h"
#include "form/window.h"

namespace quillox {

class Shell;

class TAboutBox : public Window {
public:
    TAboutBox(Dialogs& dialogs, Shell& shell);

    Panel Panel1{*this, nullptr, "Panel1"};
    Picture ProgramIcon{*this, &Panel1, "ProgramIcon", 32, 32};
    Label ProductName{*this, &Panel1, "ProductName", "Product Name: Quillox"};
    Label Version{*this, &Panel1, "Version", std::string("Version : ") + kVersion};
    Label Comments{*this, &Panel1, "Comments", "( for SkyStar2 )"};
    Label lb_license{*this, &Panel1, "lb_license",
                     "Free software under the GNU GPL, version 3 or later"};
    Label lb_home_page{*this, &Panel1, "lb_home_page", ""};
    Label lb_help_port{*this, &Panel1, "lb_help_port", "Help (PORT) on the web"};
    Label lb_help_eng{*this, &Panel1, "lb_help_eng", "Help (ENG) on the web"};
    Label lb_email{*this, &Panel1, "lb_email", ""};
    Button OKButton{*this, nullptr, "OKButton", "OK"};

    // Clicking the icon or a link label opens the target with the desktop's handler.
    void OpenHomePage();
    void OpenHelpPort();
    void OpenHelpEng();
    void OpenEmail();

private:
    Shell& shell_;
};

// Where the About box and the transponder files point.
extern const char* const kHomePageUrl;
extern const char* const kHelpPortUrl;
extern const char* const kHelpEngUrl;
extern const char* const kContactMail;

}  // namespace quillox
