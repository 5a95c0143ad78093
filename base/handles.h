#pragma once
// Owning wrappers for Win32 handles. Each closes its handle with the one
// function that is right for it; none of them can be copied, all can be moved.
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace horalis {

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
struct RegCloseKeyFn { void operator()(HKEY h) const { RegCloseKey(h); } };
struct LocalFreeFn { void operator()(void* h) const { LocalFree(h); } };
struct FindCloseFn { void operator()(HANDLE h) const { FindClose(h); } };

// Icons and cursors must not come from LoadIcon/LoadCursor (those are shared
// and never destroyed); load them with LoadImageW without LR_SHARED, or copy them.
using Icon = UniqueHandle<HICON, DestroyIconFn>;
using Cursor = UniqueHandle<HCURSOR, DestroyCursorFn>;
using Menu = UniqueHandle<HMENU, DestroyMenuFn>;
using ImageList = UniqueHandle<HIMAGELIST, ImageListDestroyFn>;
using Module = UniqueHandle<HMODULE, FreeLibraryFn>;
using KernelHandle = UniqueHandle<HANDLE, CloseHandleFn>;  // null means none (not INVALID_HANDLE_VALUE)
using FindHandle = UniqueHandle<HANDLE, FindCloseFn>;      // FindFirstFileExW's; null means none
using Bitmap = UniqueHandle<HBITMAP, DeleteObjectFn>;
using Font = UniqueHandle<HFONT, DeleteObjectFn>;
using Brush = UniqueHandle<HBRUSH, DeleteObjectFn>;
using Pen = UniqueHandle<HPEN, DeleteObjectFn>;
using Region = UniqueHandle<HRGN, DeleteObjectFn>;
using MemoryDc = UniqueHandle<HDC, DeleteDcFn>;  // from CreateCompatibleDC
using RegistryKey = UniqueHandle<HKEY, RegCloseKeyFn>;
// Text the system allocated for us (FormatMessageW with FORMAT_MESSAGE_ALLOCATE_BUFFER).
using LocalText = UniqueHandle<wchar_t*, LocalFreeFn>;

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

// The reason Windows shows for a window while a log-off or shutdown waits
// for it (ShutdownBlockReasonCreate), destroyed with the scope.
class ShutdownBlockReason {
public:
    ShutdownBlockReason(HWND window, const wchar_t* reason)
        : window_(ShutdownBlockReasonCreate(window, reason) ? window : nullptr) {}
    ShutdownBlockReason(const ShutdownBlockReason&) = delete;
    ShutdownBlockReason& operator=(const ShutdownBlockReason&) = delete;
    ~ShutdownBlockReason() {
        if (window_) ShutdownBlockReasonDestroy(window_);
    }

private:
    HWND window_;
};

}  // namespace horalis
