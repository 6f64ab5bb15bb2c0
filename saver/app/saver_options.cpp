// The configure mode's entry point.
#include "saver/app/saver_app.h"

namespace vellora {

// The options dialog is not built yet: for now the configure mode ends the application at once.
void SaverApp::RunOptionsDialog() {}

}  // namespace vellora
