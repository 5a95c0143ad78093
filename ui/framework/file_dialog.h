#pragma once
// The common open and save dialogs.
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <utility>

namespace wingui {

class CWnd;

class CFileDialog {
public:
    // filter in the framework's form: "CSV files(*.csv)|*.csv||" (description
    // and pattern pairs, each ended by '|'). defaultExtension without the dot,
    // appended when the user types a name without one. Without a parent, the
    // dialog is owned by the application's main window.
    CFileDialog(bool openDialog, const wchar_t* defaultExtension, const wchar_t* fileName,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const wchar_t* filter = nullptr,
                CWnd* parent = nullptr);

    // An open dialog opens in this folder every time; a save dialog the
    // first time (later the system prefers the folder last used).
    void setInitialFolder(std::wstring folder) { initialFolder_ = std::move(folder); }
    // IDOK when a file was chosen, IDCANCEL otherwise (also on failure).
    INT_PTR doModal();
    // The chosen full path.
    const std::wstring& pathName() const { return path_; }

private:
    HWND ownerWindow() const;
    INT_PTR openInFolder();

    bool open_;
    std::wstring defaultExtension_;
    std::wstring path_;
    DWORD flags_;
    std::wstring filter_;  // with NULs in place of '|'
    std::wstring initialFolder_;
    CWnd* parent_;
};

}  // namespace wingui
