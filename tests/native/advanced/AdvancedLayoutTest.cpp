#include <gtest/gtest.h>

#include "advanced/AdvancedLayout.h"

namespace vm {
namespace {

const ControlPlace kObjectName{100, 14, 300, 16};
const ControlPlace kOwner{100, 40, 300, 16};

TEST(AdvancedLayout, PlacesAt96Dpi) {
    const AdvancedPlaces p = ComputeAdvancedPlaces(744, 601, false, kObjectName, kOwner, 96);
    // Client 744 x 601 less 15 on each side: L 15, T 15, R 729, B 586.
    EXPECT_EQ(p.objectName, (ControlPlace{100, 14, 629, 16}));
    EXPECT_EQ(p.owner, (ControlPlace{100, 40, 549, 16}));
    EXPECT_EQ(p.reload, (ControlPlace{704, 40, 25, 25}));
    EXPECT_EQ(p.remove, (ControlPlace{679, 40, 25, 25}));
    EXPECT_EQ(p.add, (ControlPlace{654, 40, 25, 25}));
    EXPECT_EQ(p.list, (ControlPlace{15, 70, 714, 391}));
    EXPECT_EQ(p.inherit, (ControlPlace{15, 476, 714, 25}));
    EXPECT_EQ(p.replaceChildren, (ControlPlace{15, 506, 714, 25}));
    EXPECT_EQ(p.cancel, (ControlPlace{639, 561, 90, 25}));
    EXPECT_EQ(p.ok, (ControlPlace{539, 561, 90, 25}));
    EXPECT_EQ(p.apply, (ControlPlace{439, 561, 90, 25}));
    EXPECT_EQ(p.changeOwner, (ControlPlace{15, 561, 125, 25}));
    // The list stops above the boxes, which stop above the buttons.
    EXPECT_LT(p.list.y + p.list.height, p.inherit.y);
    EXPECT_LE(p.replaceChildren.y + p.replaceChildren.height, p.cancel.y);
}

TEST(AdvancedLayout, ReadOnlyListTakesTheRoomOfTheBoxes) {
    const AdvancedPlaces p = ComputeAdvancedPlaces(744, 601, true, kObjectName, kOwner, 96);
    EXPECT_EQ(p.list.height, 471);
    EXPECT_LT(p.list.y + p.list.height, p.cancel.y);
}

TEST(AdvancedLayout, WindowSizesScaleButStayInsideTheWorkArea) {
    EXPECT_EQ(AdvancedOpeningSize(96, 1920, 1040), (WindowSize{760, 640}));
    EXPECT_EQ(AdvancedMinimumSize(96, 1920, 1040), (WindowSize{500, 550}));
    EXPECT_EQ(AdvancedOpeningSize(144, 1280, 800), (WindowSize{1140, 800}));
    EXPECT_EQ(AdvancedMinimumSize(144, 1280, 800), (WindowSize{750, 800}));
    EXPECT_EQ(AdvancedMinimumSize(192, 640, 480), (WindowSize{640, 480}));
}

TEST(AdvancedLayout, ScalesWithTheDpiAndNeverGoesNegative) {
    const AdvancedPlaces p = ComputeAdvancedPlaces(1116, 902, false, kObjectName, kOwner, 144);
    EXPECT_EQ(p.reload, (ControlPlace{1116 - 23 - 38, 60, 38, 38}));  // 15 -> 23, 25 -> 38
    EXPECT_EQ(p.list.y, 105);
    EXPECT_EQ(p.cancel.width, 135);
    const AdvancedPlaces tiny = ComputeAdvancedPlaces(10, 10, false, kObjectName, kOwner, 96);
    EXPECT_EQ(tiny.list.height, 0);
    EXPECT_EQ(tiny.objectName.width, 0);
}

}  // namespace
}  // namespace vm
