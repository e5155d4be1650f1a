// The drawn skin list at its seam: input in as plain values, selection,
// double clicks and scrolling out. Ten entries in the chooser's place
// (6, 21, 227 x 67): rows of 13 pixels from y 23, four of them whole, the
// scroll bar from x 215.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/sdl/DrawnList.h"

namespace snickit::sdl {
namespace {

DrawnList TenEntries() {
    DrawnList list;
    list.SetItems({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"});
    list.SetBounds({6, 21, 227, 67});
    list.SetVisible(true);
    return list;
}

TEST(DrawnList, APressSelectsTheRowUnderItAndNothingElse) {
    const struct { int x, y, top, selected; } rows[] = {
        {10, 23, 0, 0}, {10, 35, 0, 0},  {10, 36, 0, 1},  {214, 74, 0, 3}, {10, 75, 0, 4},
        {10, 85, 0, 4}, {10, 23, 3, 3},  {10, 74, 6, 9},  {10, 80, 6, -1},  // under the last
        {215, 60, 0, -1},  // the scroll bar
        {7, 50, 0, -1}, {10, 87, 0, -1}, {10, 22, 0, -1}, {5, 50, 0, -1},     // border, outside
    };
    for (const auto& row : rows) {
        DrawnList list = TenEntries();
        list.Wheel(-row.top / 3);  // three rows a notch
        ASSERT_EQ(list.TopIndex(), row.top);
        const DrawnList::Outcome outcome = list.LeftDown(row.x, row.y, 1000);
        EXPECT_EQ(std::tuple(list.Selection(), outcome.selectionChanged, outcome.doubleClick),
                  std::tuple(row.selected, row.selected >= 0, false)) << row.x << "," << row.y << " from row " << row.top;
    }
}

TEST(DrawnList, DoubleClicksKeysWheelAndScrollBarWorkAsOnTheDesktop) {
    enum Kind { Press, Key, Wheel, Drag, Release };
    const struct { Kind kind; int a, b; unsigned time; int selected, top; bool doubleClick; } steps[] = {
        {Key, 40, 0, 0, -1, 0, false},       // no focus before the first press
        {Press, 10, 30, 1000, 0, 0, false},
        {Press, 12, 32, 1500, 0, 0, true},   // 500 ms and 2 pixels
        {Press, 12, 32, 1600, 0, 0, false},  // a third press starts a new pair
        {Press, 12, 32, 2101, 0, 0, false},  // too late
        {Press, 15, 32, 2200, 0, 0, false},  // too far
        {Press, 10, 43, 2300, 1, 0, false},
        {Key, 40, 0, 0, 2, 0, false},        // Down
        {Key, 35, 0, 0, 9, 6, false},        // End
        {Key, 36, 0, 0, 0, 0, false},        // Home
        {Key, 34, 0, 0, 3, 0, false},        // Page Down: three rows on
        {Key, 34, 0, 0, 6, 3, false},
        {Key, 97, 0, 0, 6, 3, false},        // not a list key
        {Wheel, 1, 0, 0, 6, 0, false},
        {Wheel, -5, 0, 0, 6, 6, false},
        {Press, 220, 30, 5000, 6, 5, false},  // the up arrow
        {Press, 220, 80, 6000, 6, 6, false},  // the down arrow
        {Press, 220, 45, 7000, 6, 3, false},  // the track above the thumb: a page up
        {Press, 220, 50, 8000, 6, 3, false},  // grabs the thumb (48 to 59) 2 pixels down
        {Drag, 0, 41, 0, 6, 0, false},
        {Drag, 0, 80, 0, 6, 6, false},
        {Release, 0, 0, 0, 6, 6, false},
        {Drag, 0, 41, 0, 6, 6, false},        // let go: no longer follows
    };
    DrawnList list = TenEntries();
    for (const auto& step : steps) {
        DrawnList::Outcome outcome;
        switch (step.kind) {
        case Press: outcome = list.LeftDown(step.a, step.b, step.time); break;
        case Key: outcome = list.Key(step.a); break;
        case Wheel: outcome = list.Wheel(step.a); break;
        case Drag: outcome = list.Motion(step.a, step.b); break;
        case Release: outcome = list.LeftUp(); break;
        }
        EXPECT_EQ(std::tuple(list.Selection(), list.TopIndex(), outcome.doubleClick),
                  std::tuple(step.selected, step.top, step.doubleClick)) << "step " << &step - steps + 1;
    }
}

}  // namespace
}  // namespace snickit::sdl
