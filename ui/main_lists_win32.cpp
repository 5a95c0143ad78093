// The application list (1003) and the title list (1004) of the main window.
// Both list views are owner-data: the rows live in appModel_ / titleModel_
// and the controls only ask for what they draw.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <uxtheme.h>

#include <algorithm>
#include <memory>

#include "resources/resource.h"
#include "base/string.h"
#include "ui/dpi_scale.h"
#include "ui/framework/dpi.h"
#include "ui/main_dlg.h"
#include "ui/message_texts.h"

namespace horalis {
namespace {

// At 96 DPI; scaled to the window's DPI.
constexpr int kColumnWidth0 = 350;
constexpr int kColumnWidth1 = 150;
constexpr int kRowIconSize = 16;
constexpr COLORREF kGroupCaptionColour = RGB(50, 0, 225);

HIMAGELIST createRowImages(int size) {
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR8 | ILC_MASK, 0, 1);
    if (images) ImageList_SetBkColor(images, GetSysColor(COLOR_BTNFACE));
    return images;
}

// A new image list of another size with the same images, each redrawn at
// that size, in the same order, so the rows keep their image indexes.
HIMAGELIST resizedRowImages(HIMAGELIST from, int size) {
    HIMAGELIST images = createRowImages(size);
    if (!images || !from) return images;
    for (int i = 0, n = ImageList_GetImageCount(from); i < n; ++i) {
        Icon icon(ImageList_GetIcon(from, i, ILD_NORMAL));
        ImageList_ReplaceIcon(images, -1, icon.get());
    }
    return images;
}

// Row icons of the application list. The image list copies each icon, so the
// extracted one is destroyed right away: a row costs one image-list entry and
// no icon handle.
class ApplicationIcons final : public IconSource {
public:
    ApplicationIcons(HIMAGELIST images, HICON defaultIcon) : images_(images), defaultIcon_(defaultIcon) {}

    int addApplicationIcon(StringView executablePath) override {
        // ExtractAssociatedIconW may write into the path buffer, so it gets a
        // copy of its own and the record's path stays as it is.
        wchar_t path[MAX_PATH + 1] = {};
        const size_t length = std::min<size_t>(executablePath.size(), MAX_PATH);
        std::copy_n(executablePath.data(), length, path);
        WORD index = 0;
        Icon icon(ExtractAssociatedIconW(GetModuleHandleW(nullptr), path, &index));
        if (!icon) return addDefaultIcon();
        return ImageList_ReplaceIcon(images_, -1, icon.get());
    }

    int addDefaultIcon() override { return ImageList_ReplaceIcon(images_, -1, defaultIcon_); }

    void removeAll() override {
        while (ImageList_GetImageCount(images_) > 0) ImageList_Remove(images_, 0);
    }

private:
    HIMAGELIST images_;
    HICON defaultIcon_;
};

}  // namespace

void CMainDlg::setupLists() {
    const int width0 = scaleToDpi(kColumnWidth0, dpi());
    const int width1 = scaleToDpi(kColumnWidth1, dpi());
    appList_.setExtendedStyle(LVS_EX_FULLROWSELECT);
    appList_.insertColumn(0, L"Application executable", LVCFMT_LEFT, width0);
    appList_.insertColumn(1, kTimeColumnTitle, LVCFMT_LEFT, width1);
    titleList_.setExtendedStyle(LVS_EX_FULLROWSELECT);
    titleList_.insertColumn(0, L"Window title", LVCFMT_LEFT, width0);
    titleList_.insertColumn(1, kTimeColumnTitle, LVCFMT_LEFT, width1);

    const int iconSize = scaleToDpi(kRowIconSize, dpi());
    appImages_.reset(createRowImages(iconSize));
    appList_.setImageList(appImages_.get(), LVSIL_SMALL);
    titleImages_.reset(createRowImages(iconSize));
    titleList_.setImageList(titleImages_.get(), LVSIL_SMALL);

    Icon titleIcon(wingui::loadIconOfSize(IDI_TITLE, iconSize));
    if (titleIcon && titleImages_) ImageList_ReplaceIcon(titleImages_.get(), -1, titleIcon.get());
    defaultAppIcon_.reset(wingui::loadIconOfSize(IDI_DEFAULT_APP, iconSize));
    appIcons_ = std::make_unique<ApplicationIcons>(appImages_.get(), defaultAppIcon_.get());

    // A themed group box draws its caption in the theme's colour and ignores
    // the one set at WM_CTLCOLORSTATIC; the classic one honours it. Wine
    // takes empty names as "no override", so the names are blanks that match
    // no theme class.
    SetWindowTheme(dlgItem(IDC_APP_GROUP), L" ", L" ");
    SetWindowTheme(dlgItem(IDC_TITLE_GROUP), L" ", L" ");
}

void CMainDlg::rescaleLists(UINT fromDpi) {
    if (!appIcons_) return;
    appList_.rescaleColumns(fromDpi, dpi());
    titleList_.rescaleColumns(fromDpi, dpi());

    // Application icons are redrawn from the old list (their files are not
    // read again); the title icon and the default icon come from their
    // resources' drawings for the new size.
    const int iconSize = scaleToDpi(kRowIconSize, dpi());
    // Each list is given its new image list before the old one is destroyed.
    ImageList apps(resizedRowImages(appImages_.get(), iconSize));
    appList_.setImageList(apps.get(), LVSIL_SMALL);
    appImages_ = std::move(apps);
    ImageList titles(createRowImages(iconSize));
    Icon titleIcon(wingui::loadIconOfSize(IDI_TITLE, iconSize));
    if (titleIcon && titles) ImageList_ReplaceIcon(titles.get(), -1, titleIcon.get());
    titleList_.setImageList(titles.get(), LVSIL_SMALL);
    titleImages_ = std::move(titles);
    defaultAppIcon_.reset(wingui::loadIconOfSize(IDI_DEFAULT_APP, iconSize));
    appIcons_ = std::make_unique<ApplicationIcons>(appImages_.get(), defaultAppIcon_.get());
    appList_.invalidate(true);
    titleList_.invalidate(true);
}

void CMainDlg::refreshLists() {
    if (!appIcons_) return;
    listUpdate_.clear();
    refreshApplicationList(appModel_, records_, settings_.showTimeInSeconds != 0, *appIcons_, &listUpdate_);
    if (!listUpdate_.any()) return;
    if (listUpdate_.insertedRows != 0) {
        // Every row below the new ones moved down: redraw the whole view, but
        // keep its scroll position.
        appList_.setItemCount(static_cast<int>(appModel_.rowCount()));
        appList_.invalidate(false);
    } else {
        // Closed to the tray or minimised, as it is most of a day: the view
        // paints every row when it shows again, and until then the changed
        // times need no redraw (nor can the selection have moved).
        if (!IsWindowVisible(handle()) || IsIconic(handle())) return;
        const int top = static_cast<int>(appList_.sendMessage(LVM_GETTOPINDEX));
        const int last = top + static_cast<int>(appList_.sendMessage(LVM_GETCOUNTPERPAGE));
        for (size_t row : listUpdate_.changedRows) {
            const int r = static_cast<int>(row);
            if (r >= top && r <= last) appList_.redrawItems(r, r);
        }
    }
    pushSelection(appList_, appModel_);
}

void CMainDlg::clearTotals() {
    if (!appIcons_) return;
    // What was counted stays the day's: the lists start again, the journal goes on.
    tick_.flushJournal();
    clearLists(records_, appModel_, titleModel_, *appIcons_);
    tick_.journal().forget();
    updateListViews();
}

void CMainDlg::updateListViews() {
    appList_.setItemCount(static_cast<int>(appModel_.rowCount()));
    titleList_.setItemCount(static_cast<int>(titleModel_.rowCount()));
    pushSelection(appList_, appModel_);
    pushSelection(titleList_, titleModel_);
    appList_.invalidate(false);
    titleList_.invalidate(false);
}

// The model moved or dropped its selection (rows inserted above it, a sort,
// a report walk): give the control the same one. The control's notifications
// about it would name rows by their old places, so they are ignored meanwhile.
void CMainDlg::pushSelection(const wingui::CListCtrl& view, const ListModel& model) {
    const size_t wanted = model.selectedRow();
    const int current = view.nextItem(-1, LVNI_SELECTED);
    const int target = wanted == ListModel::npos ? -1 : static_cast<int>(wanted);
    if (current == target) return;
    syncingSelection_ = true;
    if (current >= 0) view.setItemState(current, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (target >= 0) view.setItemState(target, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    syncingSelection_ = false;
}

// Takes the control's selection into the model.
void CMainDlg::pullSelection(const wingui::CListCtrl& view, ListModel& model) {
    const int selected = view.nextItem(-1, LVNI_SELECTED);
    if (selected >= 0 && static_cast<size_t>(selected) < model.rowCount()) {
        model.setSelected(static_cast<size_t>(selected), true);
    } else if (model.selectedRow() != ListModel::npos) {
        model.setSelected(model.selectedRow(), false);
    }
}

ListModel* CMainDlg::modelOf(const NMHDR* header) {
    if (header->idFrom == IDC_APP_LIST) return &appModel_;
    if (header->idFrom == IDC_TITLE_LIST) return &titleModel_;
    return nullptr;
}

LRESULT CMainDlg::onListGetDispInfo(NMHDR* header) {
    ListModel* model = modelOf(header);
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    LVITEMW& item = info->item;
    if (!model || item.iItem < 0 || static_cast<size_t>(item.iItem) >= model->rowCount()) return 0;
    const ListRow& row = model->row(static_cast<size_t>(item.iItem));
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const String& text = row.text(item.iSubItem);
        const size_t length = std::min<size_t>(text.size(), static_cast<size_t>(item.cchTextMax - 1));
        std::copy_n(reinterpret_cast<const wchar_t*>(text.data()), length, item.pszText);
        item.pszText[length] = L'\0';
    }
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) item.iImage = row.image;
    return 0;
}

LRESULT CMainDlg::onListItemChanged(NMHDR* header) {
    ListModel* model = modelOf(header);
    auto* change = reinterpret_cast<NMLISTVIEW*>(header);
    if (!model || syncingSelection_ || !(change->uChanged & LVIF_STATE)) return 0;
    if (((change->uOldState ^ change->uNewState) & LVIS_SELECTED) == 0) return 0;
    const bool selected = (change->uNewState & LVIS_SELECTED) != 0;
    if (change->iItem < 0) {
        // -1: every row at once (owner-data lists deselect all this way).
        if (!selected && model->selectedRow() != ListModel::npos) model->setSelected(model->selectedRow(), false);
        return 0;
    }
    if (static_cast<size_t>(change->iItem) < model->rowCount())
        model->setSelected(static_cast<size_t>(change->iItem), selected);
    return 0;
}

LRESULT CMainDlg::onListStateRangeChanged(NMHDR* header) {
    ListModel* model = modelOf(header);
    if (!model || syncingSelection_) return 0;
    pullSelection(header->idFrom == IDC_APP_LIST ? appList_ : titleList_, *model);
    return 0;
}

// Typing in an owner-data list view asks the owner which row starts with the
// typed letters; unanswered, every key goes to row 0. The view names the row
// to start from (the one after the focused row for a first letter) and asks
// with LVFI_PARTIAL | LVFI_WRAP; Windows adds LVFI_STRING, Wine does not.
LRESULT CMainDlg::onListFindItem(NMHDR* header) {
    const ListModel* model = modelOf(header);
    const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
    const LVFINDINFOW& info = find->lvfi;
    constexpr UINT kSubstring = 0x0004;  // LVFI_SUBSTRING, the same as LVFI_PARTIAL; not in every commctrl.h
    constexpr UINT byText = LVFI_STRING | LVFI_PARTIAL | kSubstring;
    if (!model || !info.psz || !(info.flags & byText)) return -1;
    const size_t row =
        findRow(*model, StringView(reinterpret_cast<const char16_t*>(info.psz)), static_cast<size_t>(std::max(find->iStart, 0)),
                (info.flags & (LVFI_PARTIAL | kSubstring)) != 0, (info.flags & LVFI_WRAP) != 0);
    return row == ListModel::npos ? -1 : static_cast<LRESULT>(row);
}

LRESULT CMainDlg::onAppListClick(NMHDR*) {
    pullSelection(appList_, appModel_);
    showSelectedApplicationTitles(appModel_, titleModel_, records_, settings_.showTimeInSeconds != 0);
    titleList_.setItemCount(static_cast<int>(titleModel_.rowCount()), 0);
    pushSelection(titleList_, titleModel_);
    titleList_.invalidate(false);
    return 0;
}

LRESULT CMainDlg::onListColumnClick(NMHDR* header) {
    ListModel* model = modelOf(header);
    if (!model) return 0;
    const auto* click = reinterpret_cast<NMLISTVIEW*>(header);
    wingui::CListCtrl& view = header->idFrom == IDC_APP_LIST ? appList_ : titleList_;
    pullSelection(view, *model);
    listSort_.sortList(*model, click->iSubItem);
    pushSelection(view, *model);
    view.invalidate(false);
    return 0;
}

HBRUSH CMainDlg::onCtlColor(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    if (id != IDC_APP_GROUP && id != IDC_TITLE_GROUP) return nullptr;
    auto brush = reinterpret_cast<HBRUSH>(defaultProcessing());
    SetTextColor(dc, kGroupCaptionColour);
    return brush;
}

}  // namespace horalis
