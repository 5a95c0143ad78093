#pragma once
// The HTML Help viewer (hhctrl.ocx), loaded at its first use and freed with
// this object.
#include <windows.h>

#include <string>

#include "base/handles.h"

namespace horalis {

class HtmlHelpViewer {
public:
    HtmlHelpViewer() = default;
    HtmlHelpViewer(const HtmlHelpViewer&) = delete;
    HtmlHelpViewer& operator=(const HtmlHelpViewer&) = delete;
    ~HtmlHelpViewer() { closeAll(); }

    // Shows the help file's default topic (HH_DISPLAY_TOPIC); nothing when
    // the viewer cannot be loaded.
    void displayTopic(HWND owner, const std::wstring& helpFile);
    // Closes every help window the program opened (HH_CLOSE_ALL).
    void closeAll();

private:
    using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    Module library_;  // freed after the destructor has closed the windows
    HtmlHelpFn entry_ = nullptr;
    bool windowsOpened_ = false;
};

}  // namespace horalis
