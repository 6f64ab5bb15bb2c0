// Modal dialogs from the module's dialog templates, and the controls they bind by id. A dialog's
// messages reach DialogProc, whose default hands the usual ones to virtual handlers: creation,
// commands and control notifications, notifications (WM_NOTIFY) and system-menu commands.
#pragma once

#include "win/win32.h"

namespace vellora::win {

// A control of a dialog, bound by id when the dialog is created; the dialog owns the window.
class Control {
public:
    HWND Handle() const { return hwnd_; }
    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageA(hwnd_, message, wParam, lParam);
    }
    void SetText(const char* text) const { SetWindowTextA(hwnd_, text); }

private:
    HWND hwnd_ = nullptr;
};

// A trackbar.
class Slider : public Control {
public:
    void SetRange(int minimum, int maximum, bool redraw) const;
    // A position outside the range goes to its nearer end.
    void SetPos(int position, bool redraw) const;
    int Pos() const;
};

// A drop-down list.
class ComboBox : public Control {
public:
    // An index outside the list leaves no entry selected.
    void SetCurSel(int index) const;
    // The selected index, or -1 when none is selected.
    int CurSel() const;
};

// Registers the common-control window classes of the given ICC_* groups (sliders are
// ICC_BAR_CLASSES) before a dialog that holds them is created.
bool InitCommonControlsFor(DWORD classes);

// A modal dialog from a dialog template of the module. On creation it adds the template's list
// entries (its initialisation data), binds the controls (BindControls) and calls OnInitDialog.
class ModalDialog {
public:
    explicit ModalDialog(int templateId) : templateId_(templateId) {}
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;
    virtual ~ModalDialog() = default;

    // The value passed to EndDialog, or -1 when the dialog could not be created. The owner is
    // disabled while the dialog runs; without one the dialog is a window of its own.
    INT_PTR DoModal(HWND owner);
    HWND Handle() const { return hwnd_; }

protected:
    // TRUE when the message was handled. A derived class handles its messages and hands the rest
    // to its base class.
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Binds control objects to their ids with Bind.
    virtual void BindControls() {}
    void Bind(int id, Control& control) const { control.Attach(GetDlgItem(hwnd_, id)); }
    // True lets the system set the focus (to the first tab stop).
    virtual BOOL OnInitDialog() { return TRUE; }
    // WM_COMMAND from a menu, an accelerator or a control (code: its notification). The default
    // takes IDOK and IDCANCEL to OnOK and OnCancel. False leaves the message to the system.
    virtual BOOL OnCommand(int id, int code, HWND control);
    // WM_NOTIFY. False leaves it to the system; a handled one sets result.
    virtual BOOL OnNotify(const NMHDR& header, LRESULT& result);
    // WM_SYSCOMMAND. False leaves it to the system (move, close and the like).
    virtual BOOL OnSysCommand(UINT command, LPARAM lParam);
    virtual void OnOK() { EndDialog(hwnd_, IDOK); }
    virtual void OnCancel() { EndDialog(hwnd_, IDCANCEL); }

    // Appends a separator and a text item with this command to the dialog's system menu.
    void AppendToSystemMenu(UINT command, const char* text) const;
    // Drawn in the middle of the client area while the dialog is minimised, and the image dragged
    // then; the window's own icon stays unset.
    void SetMinimizedIcon(HICON icon) { minimizedIcon_ = icon; }
    // Centres the dialog over its owner, or over the work area without a visible one.
    void CenterWindow() const;
    void SetItemText(int id, const char* text) const { SetDlgItemTextA(hwnd_, id, text); }

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void AddInitialisationData() const;
    void PaintMinimized() const;

    int templateId_;
    HWND hwnd_ = nullptr;
    HICON minimizedIcon_ = nullptr;
};

}  // namespace vellora::win
