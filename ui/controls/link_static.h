#pragma once
// A static text control that looks and acts like a web link: coloured and
// underlined, a hand cursor, a tooltip with the target, opened by the shell.
#include <windows.h>

#include <string>

#include "ui/controls/link_rules.h"
#include "ui/framework/controls.h"
#include "base/handles.h"

namespace horalis {

class CLinkStatic : public wingui::CStatic {
public:
    CLinkStatic();
    ~CLinkStatic() override;

    // Also refits the window and the tooltip once the control exists.
    void SetTarget(const std::wstring& target);
    const std::wstring& target() const { return target_; }
    bool visited() const { return visited_; }

protected:
    const wingui::MessageMap* messageMap() const override;
    void onAttach() override;
    bool preTranslateMessage(MSG& msg) override;

private:
    void FitToText();
    void LoadLinkCursor();
    void ReportOpenError(int code);
    void redrawNow() const;

    void onClicked();
    HBRUSH onColor(HDC dc);
    bool onSetCursor(HWND, UINT, UINT);
    void onMouseMove(UINT keys, POINT point);
    void onCaptureChanged(HWND newCapture);
    LRESULT onSetFont(WPARAM font, LPARAM redraw);
    LRESULT onCaptureChangedMessage(WPARAM, LPARAM newCapture) {
        onCaptureChanged(reinterpret_cast<HWND>(newCapture));
        return 0;
    }

    LinkColours colours_;
    bool overControl_ = false;
    bool visited_ = false;
    bool underline_ = true;
    bool adjustToFit_ = true;
    std::wstring target_;
    horalis::Font font_;
    // Owned copy from the help program, or the shared system hand (never destroyed).
    horalis::Cursor ownedCursor_;
    HCURSOR linkCursor_ = nullptr;
    wingui::CToolTipCtrl tooltip_;
};

}  // namespace horalis
