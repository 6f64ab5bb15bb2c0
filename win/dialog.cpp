#include "win/dialog.h"

#include <commctrl.h>

#include <cstring>

#include "win/handles.h"

namespace vellora::win {

void Slider::SetRange(int minimum, int maximum, bool redraw) const {
    Send(TBM_SETRANGEMIN, FALSE, minimum);
    Send(TBM_SETRANGEMAX, redraw, maximum);
}

void Slider::SetPos(int position, bool redraw) const { Send(TBM_SETPOS, redraw, position); }

int Slider::Pos() const { return static_cast<int>(Send(TBM_GETPOS)); }

void ComboBox::SetCurSel(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }

int ComboBox::CurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }

bool InitCommonControlsFor(DWORD classes) {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof init;
    init.dwICC = classes;
    return InitCommonControlsEx(&init) != FALSE;
}

INT_PTR ModalDialog::DoModal(HWND owner) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner,
                           &ModalDialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR ModalDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        AddInitialisationData();
        BindControls();
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (!OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return FALSE;
        SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_SYSCOMMAND:
        return OnSysCommand(static_cast<UINT>(wParam), lParam);
    case WM_PAINT:
        if (minimizedIcon_ == nullptr || !IsIconic(hwnd_)) return FALSE;
        PaintMinimized();
        return TRUE;
    case WM_QUERYDRAGICON:
        // One of the messages whose result a dialog procedure returns itself.
        return reinterpret_cast<INT_PTR>(minimizedIcon_);
    default:
        return FALSE;
    }
}

BOOL ModalDialog::OnCommand(int id, int, HWND) {
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

BOOL ModalDialog::OnNotify(const NMHDR&, LRESULT&) { return FALSE; }

BOOL ModalDialog::OnSysCommand(UINT, LPARAM) { return FALSE; }

void ModalDialog::AppendToSystemMenu(UINT command, const char* text) const {
    HMENU menu = GetSystemMenu(hwnd_, FALSE);
    if (menu == nullptr) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, command, text);
}

void ModalDialog::CenterWindow() const {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT over = area;
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &over);
    RECT rc{};
    GetWindowRect(hwnd_, &rc);
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    int x = (over.left + over.right - width) / 2;
    int y = (over.top + over.bottom - height) / 2;
    // Kept inside the work area, its top-left corner first.
    if (x + width > area.right) x = area.right - width;
    if (y + height > area.bottom) y = area.bottom - height;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ModalDialog::AddInitialisationData() const {
    // Resource type 240, named like the template: records of control id (16 bits), message
    // (16 bits), length (32 bits) and that many bytes of text with its terminating zero, ended by
    // a zero id.
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(templateId_), MAKEINTRESOURCEA(240));
    if (found == nullptr) return;
    const DWORD size = SizeofResource(instance, found);
    HGLOBAL loaded = LoadResource(instance, found);
    const auto* data = static_cast<const unsigned char*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (data == nullptr) return;
    DWORD at = 0;
    while (at + 2 <= size) {
        WORD id = 0, message = 0;
        DWORD length = 0;
        std::memcpy(&id, data + at, 2);
        if (id == 0 || at + 8 > size) break;
        std::memcpy(&message, data + at + 2, 2);
        std::memcpy(&length, data + at + 4, 4);
        at += 8;
        if (length > size - at) break;
        const char* text = reinterpret_cast<const char*>(data + at);
        // Only list entries, and only whole texts.
        if ((message == CB_ADDSTRING || message == LB_ADDSTRING) && length > 0 && text[length - 1] == '\0')
            SendDlgItemMessageA(hwnd_, id, message, 0, reinterpret_cast<LPARAM>(text));
        at += length;
    }
}

void ModalDialog::PaintMinimized() const {
    PaintDC dc(hwnd_);
    SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    const int x = (rc.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rc.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc.Get(), x, y, minimizedIcon_);
}

INT_PTR CALLBACK ModalDialog::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ModalDialog* dialog;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<ModalDialog*>(lParam);
        dialog->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (dialog == nullptr) return FALSE;
    const INT_PTR result = dialog->DialogProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) dialog->hwnd_ = nullptr;
    return result;
}

}  // namespace vellora::win
