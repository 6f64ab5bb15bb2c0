#include "saver/config/about_dlg.h"

#include "saver/resources/resource.h"
#include "saver/config/version_string.h"

namespace vellora {

AboutDlg::AboutDlg() : ModalDialog(IDD_ABOUTBOX) {}

AboutDlg::~AboutDlg() = default;

BOOL AboutDlg::OnInitDialog() {
    SetItemText(IDC_VERSION, GetVersionString().c_str());
    CenterWindow();
    return TRUE;
}

}  // namespace vellora
