#include "saver/config/options_dlg.h"

#include <commctrl.h>

#include "saver/resources/resource.h"
#include "saver/config/about_dlg.h"
#include "saver/config/version_string.h"

namespace vellora {

namespace {

struct SliderControls {
    Setting setting;
    int slider;
    int valueBox;
};

// In the order the dialog sets them up. A slider's range is its setting's range in the key table.
constexpr SliderControls kSliders[OptionsDlg::kSliderCount] = {
    {Setting::NumBalls, IDC_NUM_BALLS, IDC_NUM_BALLS_VALUE},
    {Setting::Velocity, IDC_VELOCITY, IDC_VELOCITY_VALUE},
    {Setting::BallSize, IDC_BALL_SIZE, IDC_BALL_SIZE_VALUE},
    {Setting::Colors, IDC_COLORS, IDC_COLORS_VALUE},
    {Setting::Gravity, IDC_GRAVITY, IDC_GRAVITY_VALUE},
    {Setting::ScenarioCounter, IDC_SCENARIO_COUNTER, IDC_SCENARIO_COUNTER_VALUE},
    {Setting::RefreshRate, IDC_REFRESH_RATE, IDC_REFRESH_RATE_VALUE},
};

}  // namespace

OptionsDlg::OptionsDlg(HWND owner)
    : ModalDialog(IDD_OPTIONS), owner_(owner), icon_(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SAVER))) {
    SetMinimizedIcon(icon_);
}

OptionsDlg::~OptionsDlg() = default;

INT_PTR OptionsDlg::DoModal() {
    win::InitCommonControlsFor(ICC_BAR_CLASSES);
    shown_ = false;
    return ModalDialog::DoModal(owner_);
}

INT_PTR OptionsDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SHOWWINDOW:
        // Every slider is read once when the dialog is first shown, so that a stored value outside
        // a slider's range becomes the nearer end even before the slider has painted.
        if (wParam && !shown_) {
            shown_ = true;
            for (int i = 0; i < kSliderCount; ++i) ReadSlider(i);
        }
        return FALSE;
    default:
        return ModalDialog::DialogProc(message, wParam, lParam);
    }
}

void OptionsDlg::BindControls() {
    for (int i = 0; i < kSliderCount; ++i) {
        Bind(kSliders[i].slider, sliders_[i]);
        Bind(kSliders[i].valueBox, valueBoxes_[i]);
    }
    Bind(IDC_BALL_SIZE_SEL, sizeList_);
    Bind(IDC_GAME, gameList_);
    Bind(IDC_SPARKS, sparksList_);
}

BOOL OptionsDlg::OnInitDialog() {
    link_.SubclassDlgItem(IDC_LINK, Handle());
    SetItemText(IDC_VERSION, GetVersionString().c_str());
    // The box shows the stored value until the slider is first read; the slider holds it within
    // its range.
    for (int i = 0; i < kSliderCount; ++i) {
        const SettingDef& def = DefOf(kSliders[i].setting);
        const std::int32_t stored = values.Get(def.id);
        ShowValue(i);
        sliders_[i].SetRange(def.dialogMin, def.dialogMax, true);
        sliders_[i].SetPos(stored, true);
    }
    sizeList_.SetCurSel(values.Get(Setting::BallSizeSel));
    gameList_.SetCurSel(values.Get(Setting::Game));
    ShowDescription();
    sparksList_.SetCurSel(values.Get(Setting::Sparks));
    CenterWindow();
    char about[128] = "";
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof about) > 0)
        AppendToSystemMenu(IDM_ABOUTBOX, about);
    return TRUE;
}

BOOL OptionsDlg::OnCommand(int id, int code, HWND control) {
    if (id == IDC_GAME && code == CBN_SELCHANGE) {
        ShowDescription();
        return TRUE;
    }
    return ModalDialog::OnCommand(id, code, control);
}

BOOL OptionsDlg::OnNotify(const NMHDR& header, LRESULT& result) {
    // Every notification of a slider, of whatever kind (it sends some whenever it paints), takes
    // its position; the notification then goes on as usual.
    for (int i = 0; i < kSliderCount; ++i) {
        if (header.hwndFrom == sliders_[i].Handle()) ReadSlider(i);
    }
    return ModalDialog::OnNotify(header, result);
}

BOOL OptionsDlg::OnSysCommand(UINT command, LPARAM lParam) {
    if ((command & 0xFFF0) == IDM_ABOUTBOX) {
        AboutDlg about;
        about.DoModal(Handle());
        return TRUE;
    }
    return ModalDialog::OnSysCommand(command, lParam);
}

void OptionsDlg::OnOK() {
    values.Set(Setting::BallSizeSel, sizeList_.CurSel());
    values.Set(Setting::Game, gameList_.CurSel());
    values.Set(Setting::Sparks, sparksList_.CurSel());
    const Crowding crowding =
        CheckCrowding(values, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (crowding != Crowding::Accepted) {
        // The dialog stays open with everything the user set.
        MessageBoxA(Handle(), CrowdingMessage(crowding), kCrowdingCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ModalDialog::OnOK();
}

INT_PTR RunOptionsDialog(Profile& profile) {
    OptionsDlg dialog;
    dialog.values = StoredSettings::Read(profile);
    const INT_PTR result = dialog.DoModal();
    if (result == IDOK) dialog.values.Write(profile);
    return result;
}

void OptionsDlg::ReadSlider(int index) {
    values.Set(kSliders[index].setting, sliders_[index].Pos());
    ShowValue(index);
}

void OptionsDlg::ShowValue(int index) {
    const Setting setting = kSliders[index].setting;
    valueBoxes_[index].SetText(ValueBoxText(setting, values.Get(setting)).c_str());
}

void OptionsDlg::ShowDescription() {
    // Without a selection the description stays as it was.
    if (const char* description = ScenarioDescription(gameList_.CurSel())) SetItemText(IDC_DESCRIPTION, description);
}

}  // namespace vellora
