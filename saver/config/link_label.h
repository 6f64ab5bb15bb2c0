// A static control of a dialog turned into a link: its text drawn blue and underlined in the
// control's own font, the hand pointer over it, and a click that asks the shell to open the text.
// The control needs the notify style, or the mouse would pass through it to the dialog.
#pragma once

#include "win/framework.h"

namespace vellora {

class LinkLabel : public win::Window {
public:
    LinkLabel() = default;
    ~LinkLabel() override;

    static constexpr COLORREF kLinkColor = RGB(0, 0, 255);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnPaint();
    LRESULT OnMouseMove();
    LRESULT OnLButtonDown();
};

}  // namespace vellora
