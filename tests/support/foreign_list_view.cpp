// A list view of another process (the running launcher's), read and measured from outside.
#include "support/foreign_list_view.h"

#include "support/remote_buffer.h"

#include <commctrl.h>

namespace tolvern::test {

namespace {
constexpr size_t kTextChars = 1024;
} // namespace

ForeignListView::ForeignListView(HWND list) : list_(list) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
}

ForeignListView::~ForeignListView() {
    if (process_)
        ::CloseHandle(process_);
}

std::wstring ForeignListView::Text(int row, int column) const {
    RemoteBuffer remote(process_, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(remote.at(sizeof item));
    item.cchTextMax = kTextChars;
    std::wstring text(kTextChars, L'\0');
    if (!remote.Write(0, &item, sizeof item) || !remote.Write(sizeof item, text.data(), 2) ||
        ::SendMessageW(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.get())) < 0 ||
        !remote.Read(sizeof item, text.data(), kTextChars * sizeof(wchar_t)))
        return L"";
    return text.c_str();
}

std::vector<std::pair<std::wstring, std::wstring>> ForeignListView::Rows() const {
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    if (!process_ || !::IsWindow(list_))
        return rows;
    const int count = static_cast<int>(::SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
        rows.emplace_back(Text(row, 0), Text(row, 1));
    return rows;
}

std::vector<int> ForeignListView::Selected() const {
    std::vector<int> rows;
    for (int row = -1;
         (row = static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;)
        rows.push_back(row);
    return rows;
}

POINT ForeignListView::RowCentre(int row) const {
    RemoteBuffer remote(process_, sizeof(RECT));
    RECT rect{LVIR_LABEL, 0, 0, 0};
    if (!remote.Write(0, &rect, sizeof rect) ||
        !::SendMessageW(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote.get())) ||
        !remote.Read(0, &rect, sizeof rect))
        return POINT{-1, -1};
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ::ClientToScreen(list_, &centre);
    return centre;
}

} // namespace tolvern::test
