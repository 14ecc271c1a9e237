// A list view of another process (the running launcher's), read and measured from outside.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace tolvern::test {

class ForeignListView {
public:
    explicit ForeignListView(HWND list);
    ~ForeignListView();
    ForeignListView(const ForeignListView&) = delete;
    ForeignListView& operator=(const ForeignListView&) = delete;

    // Each row's texts of the first two columns (an empty list when the window is gone).
    std::vector<std::pair<std::wstring, std::wstring>> Rows() const;
    std::vector<int> Selected() const;
    // The middle of a row's label, on the screen.
    POINT RowCentre(int row) const;

private:
    std::wstring Text(int row, int column) const;
    HWND list_;
    HANDLE process_ = nullptr;
};

} // namespace tolvern::test
