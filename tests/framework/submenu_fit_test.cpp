// The choice between a submenu's columns and one scrolling column, as a table of work areas,
// places of the item it opens from, and sizes.
#include "framework/submenu_fit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvern {
namespace {

TEST(SubmenuFit, ColumnsAreMeasuredAsTheSystemLaysThemOut) {
    const MenuFrameMetrics metrics{14, 4, 6, 6};
    const SubmenuExtent extent = MeasureSubmenu({{100, 19, false},
                                                 {30, 8, false},
                                                 {120, 19, false},
                                                 {90, 19, true},
                                                 {130, 19, false},
                                                 {50, 19, true}},
                                                metrics);
    // Columns of 134, 144 and 64 with two gaps of 4 and the frame; one column as wide as the
    // widest item; every height one below the other.
    EXPECT_EQ(3, extent.columns);
    EXPECT_EQ(356, extent.columnsWidth);
    EXPECT_EQ(150, extent.oneColumnWidth);
    EXPECT_EQ(109, extent.oneColumnHeight);
    // A break on the first item starts no second column.
    EXPECT_EQ(1, MeasureSubmenu({{10, 19, true}, {10, 19, false}}, metrics).columns);
    EXPECT_EQ(6, MeasureSubmenu({}, metrics).columnsWidth);
}

TEST(SubmenuFit, ColumnsWhileTheyFitBesideTheMenuScrollingBeyondAndWhenAskedForTallOnes) {
    const RECT screen{0, 0, 1024, 748};        // above a taskbar of 20 pixels
    const RECT left{-1280, 0, 0, 1024};        // a second monitor left of the first
    const RECT middle{300, 200, 600, 219};     // 300 pixels free on the left, 424 on the right
    const RECT nearRight{700, 200, 1000, 219}; // 24 on the right, 700 on the left
    struct Row {
        const char* what;
        RECT work, owner;
        SubmenuExtent extent; // columns, columnsWidth, oneColumnWidth, oneColumnHeight
        bool scrollTall;
        SubmenuLayout expected;
    };
    using enum SubmenuLayout;
    const std::vector<Row> rows = {
        {"three columns on the right", screen, middle, {3, 420, 140, 1960}, false, Columns},
        {"as wide as the right side", screen, middle, {3, 424, 140, 1960}, false, Columns},
        {"a pixel wider than either side", screen, middle, {3, 425, 140, 1960}, false, Scroll},
        {"only the left side is wide enough",
         screen,
         nearRight,
         {3, 700, 240, 1960},
         false,
         Columns},
        {"wider than the left side", screen, nearRight, {3, 701, 240, 1960}, false, Scroll},
        {"128 columns of 5,000 files", screen, middle, {128, 12800, 100, 95000}, false, Scroll},
        {"the item beyond the work area's right",
         screen,
         {1000, 0, 1100, 19},
         {2, 200, 100, 800},
         false,
         Columns},
        {"the item beyond the work area's left",
         screen,
         {-200, 0, -100, 19},
         {2, 200, 100, 800},
         false,
         Columns},
        {"no room on either side", screen, {0, 0, 1024, 19}, {2, 200, 100, 800}, false, Scroll},
        {"second monitor, right side",
         left,
         {-700, 10, -500, 29},
         {4, 500, 125, 3000},
         false,
         Columns},
        {"second monitor, neither side",
         left,
         {-700, 10, -500, 29},
         {4, 581, 145, 3000},
         false,
         Scroll},
        {"one column too wide anyway", screen, middle, {1, 2000, 2000, 300}, false, Columns},
        {"one tall column, option off", screen, middle, {1, 120, 120, 2000}, false, Columns},
        {"one tall column, option on", screen, middle, {1, 120, 120, 2000}, true, Scroll},
        {"fitting columns, option on", screen, middle, {3, 420, 140, 1960}, true, Scroll},
        {"as tall as the work area", screen, middle, {1, 120, 120, 748}, true, Columns},
        {"a pixel taller", screen, middle, {1, 120, 120, 749}, true, Scroll},
        {"short, option on", screen, middle, {1, 120, 120, 300}, true, Columns},
        {"taller than the first monitor only", left, middle, {2, 240, 120, 1000}, true, Columns},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected,
                  ChooseSubmenuLayout(row.extent, row.work, row.owner, row.scrollTall))
            << row.what;
}

} // namespace
} // namespace tolvern
