#include "saver/app/saver_app.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "saver/app/anim_wnd.h"
#include "saver/app/full_screen_run.h"
#include "saver/app/host_dpi.h"
#include "saver/app/preview_host.h"
#include "saver/app/run_mode.h"
#include "saver/app/uninstall.h"
#include "win/module.h"
#include "saver/config/settings.h"
#include "saver/sim/world_setup.h"

namespace vellora {

namespace {

// The system's own case-insensitive comparison, as the host's switches are matched.
bool SystemEqualsIgnoringCase(const char* a, const char* b) { return lstrcmpiA(a, b) == 0; }

}  // namespace

SaverApp::SaverApp() {
    // The only seeding: two runs started in different seconds draw different worlds.
    sim_.rng.Seed(static_cast<std::uint32_t>(std::time(nullptr)));
}

SaverApp::~SaverApp() {
    // Windows still up end before the worlds they draw.
    fullScreen_.reset();
    TeardownWorld(sim_);
}

void SaverApp::SetRegistryKey(const char* registryKey) {
    profile_ = std::make_unique<RegistryProfile>(registryKey, RegistryProfile::RunningModuleName());
}

void SaverApp::SetupWorld(const Rect& area, bool preview) { vellora::SetupWorld(sim_, *profile_, area, preview); }

BOOL SaverApp::InitInstance() {
    // The old three-dimensional dialog look is the system's own now: nothing to switch on.
    SetRegistryKey(kRegistryKeyName);
    const int argc = __argc;
    char** argv = __argv;
    switch (SelectRunMode(argc, argv, &SystemEqualsIgnoringCase)) {
    case RunMode::Configure:
        RunOptionsDialog();
        return FALSE;
    case RunMode::Preview:
        return RunPreview(argc, argv);
    case RunMode::FullScreen:
        return RunFullScreen();
    case RunMode::Uninstall:
        // The file that runs, whatever name it was started by (the command line may name it
        // relatively or without its extension).
        RunUninstall(win::RunningModulePath().c_str(), argc >= 3 && std::strcmp(argv[2], kElevatedSwitch) == 0);
        return FALSE;
    case RunMode::None:
        break;
    }
    return FALSE;
}

BOOL SaverApp::RunPreview(int argc, char** argv) {
    // The host's preview window comes as a decimal handle; without one that names a window the
    // preview can live in there is nothing to draw in.
    if (argc < 3 || argv[2] == nullptr) return FALSE;
    HWND parent = reinterpret_cast<HWND>(static_cast<LONG_PTR>(std::atol(argv[2])));
    if (!IsPreviewHost(parent)) return FALSE;
    AdoptDpiAwarenessOf(parent);
    auto* window = new AnimWnd(true, sim_, *profile_);
    RECT rc{};
    GetClientRect(parent, &rc);
    const Rect area{rc.left, rc.top, rc.right, rc.bottom};
    // A window that cannot be made leaves nothing to run; the object may already have deleted
    // itself with its half-made window, so it is not touched again.
    if (!window->CreateInRect(0, WS_CHILD | WS_VISIBLE, area, parent)) return FALSE;
    SetMainWindow(window);
    SetupWorld(area, true);
    return TRUE;
}

BOOL SaverApp::RunFullScreen() {
    // Every monitor gets a window and a world; the primary monitor's runs this application's world.
    fullScreen_ = std::make_unique<FullScreenRun>(sim_, *profile_);
    SaverWnd* window = fullScreen_->Start();
    if (window == nullptr) return FALSE;
    SetMainWindow(window);
    return TRUE;
}

}  // namespace vellora
