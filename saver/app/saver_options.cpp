// The configure mode's entry point.
#include "saver/app/saver_app.h"
#include "saver/config/options_dlg.h"

namespace vellora {

void SaverApp::RunOptionsDialog() { vellora::RunOptionsDialog(*profile_); }

}  // namespace vellora
