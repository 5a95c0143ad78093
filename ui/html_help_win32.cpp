#include "ui/html_help.h"

#include "base/libraries.h"

namespace horalis {
namespace {

// From htmlhelp.h, which not every toolchain has.
constexpr UINT kHhDisplayTopic = 0x0000;
constexpr UINT kHhCloseAll = 0x0012;

}  // namespace

void HtmlHelpViewer::displayTopic(HWND owner, const std::wstring& helpFile) {
    // Only the system's own copy: a bare name would also find an hhctrl.ocx
    // planted in the program's or the current folder.
    if (!entry_) entry_ = reinterpret_cast<HtmlHelpFn>(systemEntryPoint(library_, L"hhctrl.ocx", "HtmlHelpW"));
    if (!entry_) return;
    windowsOpened_ = true;
    entry_(owner, helpFile.c_str(), kHhDisplayTopic, 0);
}

// The viewer's windows run code of hhctrl.ocx: HTML Help requires
// HH_CLOSE_ALL before the library is freed, or a help window left open
// crashes the program as it exits (Wine forgives it).
void HtmlHelpViewer::closeAll() {
    if (!entry_ || !windowsOpened_) return;
    windowsOpened_ = false;
    entry_(nullptr, nullptr, kHhCloseAll, 0);
}

}  // namespace horalis
