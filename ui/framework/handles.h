#pragma once
// Owning wrappers for Win32 handles. Each closes its handle with the one
// function that is right for it; none of them can be copied, all can be moved.
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace wingui {

template <class H, class Close>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    H get() const { return handle_; }
    explicit operator bool() const { return handle_ != H{}; }
    H release() { return std::exchange(handle_, H{}); }
    void reset(H handle = H{}) {
        H old = std::exchange(handle_, handle);
        if (old != H{}) Close{}(old);
    }

private:
    H handle_{};
};

struct DestroyIconFn { void operator()(HICON h) const { DestroyIcon(h); } };
struct DestroyCursorFn { void operator()(HCURSOR h) const { DestroyCursor(h); } };
struct DestroyMenuFn { void operator()(HMENU h) const { DestroyMenu(h); } };
struct ImageListDestroyFn { void operator()(HIMAGELIST h) const { ImageList_Destroy(h); } };
struct FreeLibraryFn { void operator()(HMODULE h) const { FreeLibrary(h); } };
struct CloseHandleFn { void operator()(HANDLE h) const { CloseHandle(h); } };
struct DeleteObjectFn { void operator()(HGDIOBJ h) const { DeleteObject(h); } };
struct DeleteDcFn { void operator()(HDC h) const { DeleteDC(h); } };

// Icons and cursors must not come from LoadIcon/LoadCursor (those are shared
// and never destroyed); load them with LoadImageW without LR_SHARED, or copy them.
using Icon = UniqueHandle<HICON, DestroyIconFn>;
using Cursor = UniqueHandle<HCURSOR, DestroyCursorFn>;
using Menu = UniqueHandle<HMENU, DestroyMenuFn>;
using ImageList = UniqueHandle<HIMAGELIST, ImageListDestroyFn>;
using Module = UniqueHandle<HMODULE, FreeLibraryFn>;
using KernelHandle = UniqueHandle<HANDLE, CloseHandleFn>;  // null means none (not INVALID_HANDLE_VALUE)
using Bitmap = UniqueHandle<HBITMAP, DeleteObjectFn>;
using Font = UniqueHandle<HFONT, DeleteObjectFn>;
using Brush = UniqueHandle<HBRUSH, DeleteObjectFn>;
using Pen = UniqueHandle<HPEN, DeleteObjectFn>;
using Region = UniqueHandle<HRGN, DeleteObjectFn>;
using MemoryDc = UniqueHandle<HDC, DeleteDcFn>;  // from CreateCompatibleDC

// An entry point of a system library, loaded on first use and kept for the
// rest of the run: for libraries that cost memory at start-up but serve only
// a command most runs never give. Only the system folder's copy is loaded.
// Null when the library or the entry point is missing.
inline void* systemEntryPoint(Module& library, const wchar_t* libraryName, const char* entryName) {
    if (!library) {
        wchar_t path[MAX_PATH] = {};
        const UINT n = GetSystemDirectoryW(path, MAX_PATH);
        if (n == 0 || n + 1 + lstrlenW(libraryName) >= MAX_PATH) return nullptr;
        path[n] = L'\\';
        lstrcpyW(path + n + 1, libraryName);
        library.reset(LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
        if (!library) return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(library.get(), entryName));
}

// A window's device context from GetDC, released with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }
    const PAINTSTRUCT& paint() const { return paint_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects a GDI object into a device context and puts the previous one back.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;
    ~SelectObjectScope() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace wingui
