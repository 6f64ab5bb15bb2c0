#include "saver/config/link_label.h"

#include <shellapi.h>

#include <string>

#include "saver/resources/resource.h"
#include "win/handles.h"

namespace vellora {

LinkLabel::~LinkLabel() = default;

LRESULT LinkLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        return OnPaint();
    case WM_MOUSEMOVE:
        return OnMouseMove();
    case WM_LBUTTONDOWN:
        return OnLButtonDown();
    default:
        return Window::WindowProc(message, wParam, lParam);
    }
}

LRESULT LinkLabel::OnPaint() {
    const std::string text = win::WindowText(Handle());
    win::PaintDC dc(Handle());
    RECT rc{};
    GetClientRect(Handle(), &rc);
    // The control's own font, underlined; a control without one gets the system's dialog font.
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(Handle(), WM_GETFONT, 0, 0));
    if (font == nullptr) font = GetStockObject(DEFAULT_GUI_FONT);
    LOGFONTA description{};
    GetObjectA(font, sizeof description, &description);
    description.lfUnderline = TRUE;
    win::GdiObject<HFONT> underlined(CreateFontIndirectA(&description));
    SetBkMode(dc.Get(), TRANSPARENT);
    SetTextColor(dc.Get(), kLinkColor);
    // One line from the top-left corner, clipped by the control's bounds. The old font goes back
    // before the new one is deleted.
    win::SelectedObject selected(dc.Get(), underlined.Get());
    TextOutA(dc.Get(), rc.left, rc.top, text.c_str(), static_cast<int>(text.size()));
    return 0;
}

LRESULT LinkLabel::OnMouseMove() {
    SetCursor(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND)));
    return 0;
}

LRESULT LinkLabel::OnLButtonDown() {
    // What the shell answers is not reported; the dialog stays open.
    const std::string text = win::WindowText(Handle());
    ShellExecuteA(GetDesktopWindow(), "open", text.c_str(), "", "", SW_SHOW);
    return 0;
}

}  // namespace vellora
