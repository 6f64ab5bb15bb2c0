// The backdrop, the welcome dialog and its link.
#include <string>

#include "installer/resources/resource.h"
#include "installer/setup.h"
#include "win/handles.h"

#include <shellapi.h>

namespace vellora::installer {

namespace {

HINSTANCE keptInstance = nullptr;

// Paints 256 horizontal bands from pure blue at the top to black at the bottom.
void PaintGradient(HWND window) {
    win::PaintDC dc(window);
    RECT client;
    GetClientRect(window, &client);
    const float band = static_cast<float>(client.bottom) * (1.0f / 256.0f);
    for (int i = 0; i < 256; ++i) {
        RECT rect;
        SetRect(&rect, 0, static_cast<int>(static_cast<float>(i) * band), client.right + 1,
                static_cast<int>(static_cast<float>(i + 1) * band));
        win::GdiObject<HBRUSH> brush(CreateSolidBrush(RGB(0, 0, 255 - i)));
        FillRect(dc.Get(), &rect, brush.Get());
    }
}

// The link's text, blue and underlined, on the dialog's background.
void PaintLink(HWND window) {
    win::PaintDC dc(window);
    RECT rect;
    GetWindowRect(window, &rect);
    POINT at{rect.left, rect.top};
    ScreenToClient(window, &at);
    // 10 units high at 96 dots per inch; the program is DPI-aware, so the height follows the DPI.
    const int height = MulDiv(10, GetDeviceCaps(dc.Get(), LOGPIXELSY), 96);
    win::GdiObject<HFONT> font(CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                                           0, "MS Sans Serif"));
    SetBkMode(dc.Get(), TRANSPARENT);
    SetTextColor(dc.Get(), RGB(0, 0, 255));
    win::SelectedObject selected(dc.Get(), font.Get());
    char text[257];
    const int length = GetWindowTextA(window, text, sizeof text);
    TextOutA(dc.Get(), at.x, at.y, text, length);
}

}  // namespace

HINSTANCE InstallerInstance() { return keptInstance != nullptr ? keptInstance : GetModuleHandleA(nullptr); }

void KeepInstallerInstance(HINSTANCE instance) { keptInstance = instance; }

void RegisterBackdropClass() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = BackdropWndProc;
    wc.hInstance = InstallerInstance();
    wc.lpszClassName = kBackdropClass;
    RegisterClassExA(&wc);
}

LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        PaintGradient(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

INT_PTR CALLBACK WelcomeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const char* displayName = reinterpret_cast<const char*>(lParam);
        const std::string name = displayName != nullptr ? displayName : "";
        // The link's messages go to LinkLabelProc, and what it leaves to default processing.
        SetWindowLongPtrA(GetDlgItem(dialog, IDC_LINK), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkLabelProc));

        char text[512];
        GetWindowTextA(GetDlgItem(dialog, IDC_THANKS), text, 256);
        SetWindowTextA(GetDlgItem(dialog, IDC_THANKS), (text + name + "!").c_str());
        // The name, then the control's own text, of which as much is read as fits 512 characters.
        const int room = static_cast<int>(sizeof text) - static_cast<int>(name.size());
        text[0] = '\0';
        if (room > 1) GetWindowTextA(GetDlgItem(dialog, IDC_FREEWARE), text, room);
        SetWindowTextA(GetDlgItem(dialog, IDC_FREEWARE), (name + text).c_str());
        SetWindowTextA(dialog, (name + " Installer").c_str());
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
        return TRUE;
    }
    }
    return FALSE;
}

LRESULT CALLBACK LinkLabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        PaintLink(window);
        return 1;
    case WM_MOUSEMOVE:
        SetCursor(LoadCursorA(InstallerInstance(), MAKEINTRESOURCEA(IDC_LINK_POINTER)));
        break;
    case WM_LBUTTONDOWN: {
        char text[257];
        GetWindowTextA(window, text, sizeof text);
        ShellExecuteA(GetDesktopWindow(), "open", text, "", "", SW_SHOW);
        return 1;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace vellora::installer
