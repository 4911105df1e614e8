// The display platform the window asks Qt for, in each kind of session.

#include <gtest/gtest.h>

#include "display_platform.h"

namespace {

using quillmark::ChosenDisplayPlatform;

TEST(DisplayPlatform, WaylandSessionsRunOnXWaylandUnlessTheUserChose) {
  EXPECT_EQ(ChosenDisplayPlatform(nullptr, "wayland-0", ":0"), "xcb;wayland");
  EXPECT_EQ(ChosenDisplayPlatform("", "wayland-0", ":0"), "xcb;wayland") << "empty is no choice";
  EXPECT_EQ(ChosenDisplayPlatform("wayland", "wayland-0", ":0"), "");
  EXPECT_EQ(ChosenDisplayPlatform("offscreen", "wayland-0", ":0"), "");
  // A Wayland session without XWayland, an X11 session, or none at all: Qt's own choice.
  EXPECT_EQ(ChosenDisplayPlatform(nullptr, "wayland-0", nullptr), "");
  EXPECT_EQ(ChosenDisplayPlatform(nullptr, nullptr, ":0"), "");
  EXPECT_EQ(ChosenDisplayPlatform(nullptr, "", ":0"), "");
  EXPECT_EQ(ChosenDisplayPlatform(nullptr, nullptr, nullptr), "");
}

}  // namespace
