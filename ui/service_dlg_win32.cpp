#include "ui/service_dlg.h"

#include <optional>
#include <string>

#include "base/handles.h"
#include "base/program_path.h"
#include "base/registry.h"
#include "base/string.h"
#include "resources/resource.h"
#include "storage/data_folder.h"
#include "ui/framework/winapp.h"
#include "ui/message_texts.h"
#include "ui/reporter_command_line.h"

namespace horalis {
namespace {

const std::wstring kRunSubkey = horalis::toWide(kReporterRunSubkey);
const std::wstring kValueName = horalis::toWide(kReporterValueName);

// The whole path of this executable (however long: buildReporterCommandLine
// refuses one that makes the line too long), or nothing when it is unknown.
std::optional<String> ownExecutablePath() {
    const std::wstring path = programPath();
    if (path.empty()) return std::nullopt;
    return toCore(path);
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
    BYTE data[kReporterQueryBufferBytes];
    DWORD size = sizeof data;
    const RegistryRead read = readRegistryValue(HKEY_LOCAL_MACHINE, kRunSubkey.c_str(), kValueName.c_str(), data, size);
    showButtons(reporterInstalled(read.opened, read.queried));
    return TRUE;
}

void ServiceDlg::install() {
    const auto executable = ownExecutablePath();
    const auto line = executable
                          ? buildReporterCommandLine(*executable, kReporterDataFolderArgument, dataFolderPath())
                          : std::nullopt;
    if (!line) {
        MessageBoxW(handle(), horalis::toWide(kReporterCommandLineTooLongText).c_str(),
                    kErrorCaption, MB_ICONERROR);
        return;
    }
    const std::wstring data = toWide(*line);
    // REG_EXPAND_SZ: expanded at each user's logon, with that user's APPDATA.
    const LSTATUS status = writeRegistryValue(HKEY_LOCAL_MACHINE, kRunSubkey.c_str(), kValueName.c_str(),
                                              REG_EXPAND_SZ, data.c_str(), reporterValueDataBytes(*line));
    if (status != ERROR_SUCCESS) {
        showSystemError(status);
        return;
    }
    wingui::appMessageBox(horalis::toWide(kReporterInstalledText));
    showButtons(true);
}

void ServiceDlg::remove() {
    const LSTATUS status = deleteRegistryValue(HKEY_LOCAL_MACHINE, kRunSubkey.c_str(), kValueName.c_str());
    if (status != ERROR_SUCCESS) {
        showSystemError(status);
        return;
    }
    wingui::appMessageBox(horalis::toWide(kReporterUninstalledText));
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
    MessageBoxW(handle(), text.get() ? text.get() : L"", kErrorCaption, MB_ICONERROR);
}

}  // namespace horalis
