#include "ui/framework/file_dialog.h"

#include <shobjidl.h>

#include <algorithm>
#include <vector>

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

// A COM interface pointer, released once.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    T** out() { return &p_; }
    void** outVoid() { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

// A file dialog makes the chosen folder the process's current directory,
// which keeps that folder open (a USB stick then cannot be removed while the
// program runs). OFN_NOCHANGEDIR prevents it for the save dialog only
// ("ineffective for GetOpenFileName"), so the folder is also put back.
class CurrentDirectoryKept {
public:
    CurrentDirectoryKept() {
        const DWORD length = GetCurrentDirectoryW(0, nullptr);
        folder_.resize(length);
        folder_.resize(length ? GetCurrentDirectoryW(length, folder_.data()) : 0);
    }
    CurrentDirectoryKept(const CurrentDirectoryKept&) = delete;
    CurrentDirectoryKept& operator=(const CurrentDirectoryKept&) = delete;
    ~CurrentDirectoryKept() {
        if (!folder_.empty()) SetCurrentDirectoryW(folder_.c_str());
    }

private:
    std::wstring folder_;
};

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

HWND CFileDialog::ownerWindow() const {
    if (parent_) return parent_->handle();
    if (CWinApp* app = CWinApp::current(); app && app->mainWindow())
        return GetLastActivePopup(app->mainWindow()->handle());
    return nullptr;
}

INT_PTR CFileDialog::doModal() {
    CurrentDirectoryKept keep;
    if (open_ && !initialFolder_.empty()) {
        const INT_PTR result = openInFolder();
        if (result != -1) return result;
    }

    std::wstring buffer(32768, L'\0');
    path_.copy(buffer.data(), std::min(path_.size(), buffer.size() - 1));
    // The filter must end with two NULs; c_str() supplies the second.
    OPENFILENAMEW info{};
    info.lStructSize = sizeof(info);
    info.hwndOwner = ownerWindow();
    info.lpstrFilter = filter_.empty() ? nullptr : filter_.c_str();
    info.nFilterIndex = 1;
    info.lpstrFile = buffer.data();
    info.nMaxFile = static_cast<DWORD>(buffer.size());
    info.lpstrInitialDir = initialFolder_.empty() ? nullptr : initialFolder_.c_str();
    info.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
    info.Flags = flags_ | OFN_EXPLORER | OFN_NOCHANGEDIR;
    const FileDialogFn dialog = fileDialogFunction(open_);
    if (!dialog || !dialog(&info)) return IDCANCEL;
    path_.assign(buffer.c_str());
    return IDOK;
}

// Since Windows 7 the open dialog of GetOpenFileName prefers the folder last
// used over lpstrInitialDir whenever that is the one first passed, so it
// would open in the data folder only once. The item dialog's SetFolder is
// documented to select the folder "regardless of previous user action".
// -1: the item dialog is not available (no COM on this thread).
INT_PTR CFileDialog::openInFolder() {
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                dialog.outVoid())))
        return -1;
    ComPtr<IShellItem> folder;
    if (FAILED(SHCreateItemFromParsingName(initialFolder_.c_str(), nullptr, IID_IShellItem, folder.outVoid())) ||
        FAILED(dialog->SetFolder(folder.get())))
        return -1;

    // The filter's description and pattern pairs, as the item dialog takes them.
    std::vector<COMDLG_FILTERSPEC> types;
    for (const wchar_t* text = filter_.c_str(); *text;) {
        const wchar_t* pattern = text + wcslen(text) + 1;
        if (!*pattern) break;
        types.push_back({text, pattern});
        text = pattern + wcslen(pattern) + 1;
    }
    if (!types.empty()) dialog->SetFileTypes(static_cast<UINT>(types.size()), types.data());
    if (!defaultExtension_.empty()) dialog->SetDefaultExtension(defaultExtension_.c_str());
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    options |= FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR;
    if (flags_ & OFN_FILEMUSTEXIST) options |= FOS_FILEMUSTEXIST;
    dialog->SetOptions(options);

    if (FAILED(dialog->Show(ownerWindow()))) return IDCANCEL;  // also when the user cancels
    ComPtr<IShellItem> chosen;
    wchar_t* name = nullptr;
    if (FAILED(dialog->GetResult(chosen.out())) || FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &name)))
        return IDCANCEL;
    path_ = name;
    CoTaskMemFree(name);
    return IDOK;
}

}  // namespace wingui
