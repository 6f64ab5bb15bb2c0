// The options dialog (template 102): the ten settings on seven sliders with their value boxes and
// three lists, the scenario's description, the version, a link to the download page and the about
// box in the system menu. The values follow the sliders; the store is left to the caller.
#pragma once

#include "saver/config/link_label.h"
#include "saver/config/options_rules.h"
#include "saver/config/settings.h"
#include "win/dialog.h"

namespace vellora {

class OptionsDlg : public win::ModalDialog {
public:
    explicit OptionsDlg(HWND owner = nullptr);
    ~OptionsDlg() override;

    // IDOK only when the dialog was left with OK and its settings passed the crowding checks.
    INT_PTR DoModal();

    // The ten values: filled before the dialog opens, read after it closes.
    StoredSettings values;

    static constexpr int kSliderCount = 7;

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void BindControls() override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(int id, int code, HWND control) override;
    BOOL OnNotify(const NMHDR& header, LRESULT& result) override;
    BOOL OnSysCommand(UINT command, LPARAM lParam) override;
    void OnOK() override;

private:
    // Takes the slider's position as its setting's value and shows it in the value box.
    void ReadSlider(int index);
    void ShowValue(int index);
    void ShowDescription();

    HWND owner_;
    HICON icon_;
    bool shown_ = false;
    win::Slider sliders_[kSliderCount];
    win::Control valueBoxes_[kSliderCount];
    win::ComboBox sizeList_;
    win::ComboBox gameList_;
    win::ComboBox sparksList_;
    LinkLabel link_;
};

// Reads the ten settings from the profile, shows the options dialog, and writes all ten back only
// when it was left with OK. Returns what the dialog returned (-1 when it could not be created).
INT_PTR RunOptionsDialog(Profile& profile);

}  // namespace vellora
