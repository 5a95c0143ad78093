#include "ui/framework/file_dialog.h"

#include <algorithm>

#include "base/libraries.h"
#include "ui/framework/window.h"
#include "ui/framework/winapp.h"

namespace wingui {

namespace {

// comdlg32 brings the print spooler and, under Wine, the CUPS and TLS
// libraries behind it: about 4 MiB resident from start-up on for a dialog
// that most runs never open. So it is loaded when the first dialog opens.
using FileDialogFn = BOOL(WINAPI*)(OPENFILENAMEW*);

FileDialogFn fileDialogFunction(bool openDialog) {
    static horalis::Module library;
    return reinterpret_cast<FileDialogFn>(
        horalis::systemEntryPoint(library, L"comdlg32.dll", openDialog ? "GetOpenFileNameW" : "GetSaveFileNameW"));
}

}  // namespace

CFileDialog::CFileDialog(bool openDialog, const wchar_t* defaultExtension, const wchar_t* fileName, DWORD flags,
                         const wchar_t* filter, CWnd* parent)
    : open_(openDialog),
      defaultExtension_(defaultExtension ? defaultExtension : L""),
      path_(fileName ? fileName : L""),
      flags_(flags),
      filter_(filter ? filter : L""),
      parent_(parent) {
    for (wchar_t& c : filter_)
        if (c == L'|') c = L'\0';
}

INT_PTR CFileDialog::doModal() {
    HWND owner = nullptr;
    if (parent_) {
        owner = parent_->handle();
    } else if (CWinApp* app = CWinApp::current(); app && app->mainWindow()) {
        owner = GetLastActivePopup(app->mainWindow()->handle());
    }

    std::wstring buffer(32768, L'\0');
    path_.copy(buffer.data(), std::min(path_.size(), buffer.size() - 1));
    // The filter must end with two NULs; c_str() supplies the second.
    OPENFILENAMEW info{};
    info.lStructSize = sizeof(info);
    info.hwndOwner = owner;
    info.lpstrFilter = filter_.empty() ? nullptr : filter_.c_str();
    info.nFilterIndex = 1;
    info.lpstrFile = buffer.data();
    info.nMaxFile = static_cast<DWORD>(buffer.size());
    info.lpstrInitialDir = initialFolder_.empty() ? nullptr : initialFolder_.c_str();
    info.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
    info.Flags = flags_ | OFN_EXPLORER;
    const FileDialogFn dialog = fileDialogFunction(open_);
    if (!dialog || !dialog(&info)) return IDCANCEL;
    path_.assign(buffer.c_str());
    return IDOK;
}

}  // namespace wingui
