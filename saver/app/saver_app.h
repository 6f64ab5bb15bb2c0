// The saver's application object: seeds the generator, picks the run mode from the command line
// and creates the drawing window, or runs the options dialog or the uninstall and ends.
#pragma once

#include <memory>

#include "win/framework.h"
#include "saver/config/registry_profile.h"
#include "saver/sim/geometry.h"
#include "saver/sim/sim_state.h"

namespace vellora {

class FullScreenRun;

class SaverApp : public win::WinApp {
public:
    SaverApp();
    ~SaverApp() override;

    BOOL InitInstance() override;

    // Selects the per-user profile Software\<registryKey>\<module name>\... for all settings.
    void SetRegistryKey(const char* registryKey);

    // Builds the world for the drawing area (left and top 0); the preview flag counts only on the
    // first call.
    void SetupWorld(const Rect& area, bool preview);

    // Loads the settings, shows the options dialog and stores the settings on OK.
    void RunOptionsDialog();

private:
    BOOL RunPreview(int argc, char** argv);
    BOOL RunFullScreen();

    Simulation sim_;
    std::unique_ptr<RegistryProfile> profile_;  // chosen by SetRegistryKey, before any setting is read
    std::unique_ptr<FullScreenRun> fullScreen_;  // a full-screen run's windows and worlds
};

}  // namespace vellora
