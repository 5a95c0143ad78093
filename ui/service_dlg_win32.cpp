#include "ui/service_dlg.h"

#include <optional>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "storage/data_folder.h"
#include "ui/framework/handles.h"
#include "ui/framework/strings.h"
#include "ui/framework/winapp.h"
#include "ui/reporter_command_line.h"

namespace horalis {
namespace {

struct RegCloseKeyFn {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using RegistryKey = wingui::UniqueHandle<HKEY, RegCloseKeyFn>;

struct LocalFreeFn {
    void operator()(wchar_t* text) const { LocalFree(text); }
};
using LocalText = wingui::UniqueHandle<wchar_t*, LocalFreeFn>;

const std::wstring kRunSubkey = wingui::toWide(kReporterRunSubkey);
const std::wstring kValueName = wingui::toWide(kReporterValueName);

// The whole path of this executable, or nothing when it does not fit the
// MAX_PATH buffer (GetModuleFileNameW cuts it silently then).
std::optional<String> ownExecutablePath() {
    std::vector<wchar_t> buffer(kReporterCommandLineMaxChars + 1);
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size() || GetLastError() == ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    return wingui::toCore(std::wstring_view(buffer.data(), length));
}

}  // namespace

ServiceDlg::ServiceDlg() : CDialog(IDD_SERVICE) {}

const wingui::MessageMap* ServiceDlg::messageMap() const {
    static constexpr wingui::Handler<ServiceDlg> handlers[] = {
        wingui::onCommand(IDC_INSTALL, &ServiceDlg::install),
        wingui::onCommand(IDC_REMOVE, &ServiceDlg::remove),
    };
    static const wingui::MessageMap map{handlers, CDialog::messageMap()};
    return &map;
}

BOOL ServiceDlg::onInitDialog() {
    CDialog::onInitDialog();
    HKEY raw = nullptr;
    const LSTATUS opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunSubkey.c_str(), 0, KEY_READ, &raw);
    LSTATUS queried = ERROR_INVALID_HANDLE;
    if (opened == ERROR_SUCCESS) {
        RegistryKey key(raw);
        BYTE data[kReporterQueryBufferBytes];
        DWORD size = sizeof data;
        queried = RegQueryValueExW(key.get(), kValueName.c_str(), nullptr, nullptr, data, &size);
    }
    showButtons(reporterInstalled(opened, queried));
    return TRUE;
}

void ServiceDlg::install() {
    const auto executable = ownExecutablePath();
    const auto line = executable ? buildReporterCommandLine(*executable, dataFolderPath()) : std::nullopt;
    if (!line) {
        MessageBoxW(handle(), wingui::toWide(kReporterCommandLineTooLongText).c_str(),
                    wingui::toWide(kErrorCaption).c_str(), MB_ICONERROR);
        return;
    }
    HKEY raw = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunSubkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_SET_VALUE, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS) {
        showSystemError(status);
        return;
    }
    {
        RegistryKey key(raw);
        const std::wstring data = wingui::toWide(*line);
        status = RegSetValueExW(key.get(), kValueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                reporterValueDataBytes(*line));
    }
    if (status != ERROR_SUCCESS) {
        showSystemError(status);
        return;
    }
    wingui::appMessageBox(wingui::toWide(kReporterInstalledText));
    showButtons(true);
}

void ServiceDlg::remove() {
    HKEY raw = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunSubkey.c_str(), 0, KEY_WRITE, &raw);
    if (status != ERROR_SUCCESS) {
        showSystemError(status);
        return;
    }
    {
        RegistryKey key(raw);
        status = RegDeleteValueW(key.get(), kValueName.c_str());
    }
    if (status != ERROR_SUCCESS) {
        showSystemError(status);
        return;
    }
    wingui::appMessageBox(wingui::toWide(kReporterUninstalledText));
    showButtons(false);
}

void ServiceDlg::showButtons(bool installed) const {
    const ReporterButtons buttons = reporterButtonsFor(installed);
    EnableWindow(GetDlgItem(handle(), IDC_INSTALL), buttons.installEnabled);
    EnableWindow(GetDlgItem(handle(), IDC_REMOVE), buttons.removeEnabled);
}

void ServiceDlg::showSystemError(LSTATUS code) const {
    wchar_t* raw = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, static_cast<DWORD>(code),
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
    LocalText text(raw);
    MessageBoxW(handle(), text.get() ? text.get() : L"", wingui::toWide(kErrorCaption).c_str(), MB_ICONERROR);
}

}  // namespace horalis
