// The about box (template 100): the icon, the product name with the module's version, a notice
// and the home page as plain text. Opened from the options dialog's system menu.
#pragma once

#include "win/dialog.h"

namespace vellora {

class AboutDlg : public win::ModalDialog {
public:
    AboutDlg();
    ~AboutDlg() override;

protected:
    BOOL OnInitDialog() override;
};

}  // namespace vellora
