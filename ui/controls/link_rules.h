#pragma once
// The portable half of the hyperlink control CLinkStatic: sizing to the text,
// the colour of each look, the open result and its message, the attach texts.
#include <cstdint>

#include "tracking/usage_records.h"
#include "ui/controls/control_types.h"

namespace horalis {

inline constexpr ColorRef kLinkColour = rgb(0, 0, 238);
inline constexpr ColorRef kLinkVisitedColour = rgb(85, 26, 139);

inline constexpr uint32_t kStaticCenter = 0x1;        // SS_CENTER
inline constexpr uint32_t kStaticRight = 0x2;         // SS_RIGHT
inline constexpr uint32_t kStaticCenterImage = 0x200; // SS_CENTERIMAGE

// The system help program that carries the hand cursor, and that cursor's id.
inline constexpr StringView kLinkCursorModuleName = u"\\winhlp32.exe";
inline constexpr int32_t kLinkCursorResourceId = 106;

// The window rectangle (parent client coordinates) sized to a text of the
// given extent, honouring the control's alignment style bits. Centring moves
// each edge by half the difference, truncated toward zero.
Rect fitToText(Rect rect, uint32_t style, int32_t textWidth, int32_t textHeight);

struct LinkColours {
    ColorRef link = kLinkColour;
    ColorRef visited = kLinkVisitedColour;
    ColorRef hover = 0;  // COLOR_HIGHLIGHT, read once at construction
};

// Hover wins over visited, visited over the plain link colour.
ColorRef linkTextColour(const LinkColours& colours, bool overControl, bool visited);

// ShellExecuteW's result (the HINSTANCE as an integer): success above 32.
// This is also the new visited flag, so a failure clears an earlier visit.
bool linkOpenSucceeded(intptr_t shellResult);

// The reason for a failed open, by code; unknown codes as "Unknown Error (%d)
// occurred." with the code in signed decimal.
String openErrorReason(int32_t code);
// The whole message box text: "Unable to open hyperlink:\n\n" + reason.
String openErrorText(int32_t code);

struct LinkTexts {
    String text;
    String target;
};

// At attach: an empty target takes the window text, then an empty window text
// takes the target. The caller sets the window text only if it changed.
LinkTexts attachLinkTexts(StringView windowText, StringView target);

enum class LinkHoverStep {
    None,
    Enter,  // set the flag, redraw, capture the mouse
    Leave,  // clear the flag, release the capture, redraw
};

// WM_MOUSEMOVE: entering is any move while not over the control yet (the
// capture then brings the moves outside); leaving is a move outside the
// client rectangle while over it.
LinkHoverStep linkHoverStep(bool overControl, bool pointInClient);

}  // namespace horalis
