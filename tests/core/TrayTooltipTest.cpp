#include <gtest/gtest.h>

#include "console/core/TrayTooltip.h"

TEST(TrayTooltip, EachPartShowsBesideTheOthers) {
  EXPECT_EQ("Hookwarden", TrayTooltip("Hookwarden", {}));
  EXPECT_EQ("Hookwarden - Web guard stopped", TrayTooltip("Hookwarden", {"Web guard stopped", "", ""}));
  EXPECT_EQ("Hookwarden - Web guard stopped: Checking for new definitions",
            TrayTooltip("Hookwarden", {"Web guard stopped", "Checking for new definitions", ""}));
  EXPECT_EQ("Hookwarden: Checking for new definitions",
            TrayTooltip("Hookwarden", {"", "Checking for new definitions", ""}));
  EXPECT_EQ("Hookwarden - Settings not saved: Access denied. - Web guard on",
            TrayTooltip("Hookwarden", {"Web guard on", "", "Access denied."}));
}
