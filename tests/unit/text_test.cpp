#include "protocol/text.h"

#include <gtest/gtest.h>

namespace linkmate::text {
namespace {

TEST(Arg, ValuesAreNeverReadAsMarkers) {
    // A port-map path or a device name may hold what looks like a marker.
    EXPECT_EQ(Arg("COM3 is %1: %2", {"/dev/link%2", "USB adapter"}),
              "COM3 is /dev/link%2: USB adapter");
    EXPECT_EQ(Arg("%1 %2 %3", {"%2", "%10", "%%"}), "%2 %10 %%");
    EXPECT_EQ(Arg("%2 before %1", {"%1", "x"}), "x before %1");
}

TEST(Arg, MarkersAndPercentSigns) {
    const std::initializer_list<std::string> ten = {"a", "b", "c", "d", "e",
                                                    "f", "g", "h", "i", "j"};
    EXPECT_EQ(Arg("%1,%10,%1", ten), "a,j,a");
    EXPECT_EQ(Arg("%10", {"a"}), "%10");  // the tenth value is missing, not "a0"
    EXPECT_EQ(Arg("%1%2%", {"a", "b"}), "ab%");
    EXPECT_EQ(Arg("100%% of %1", {"x"}), "100% of x");
    EXPECT_EQ(Arg("%%1 is %1", {"x"}), "%1 is x");
    EXPECT_EQ(Arg("sample point %1 % is below 50 %", {"40"}), "sample point 40 % is below 50 %");
    EXPECT_EQ(Arg("%0 %05 %3 %x", {"a", "b"}), "%0 %05 %3 %x");
    EXPECT_EQ(Arg("", {"a"}), "");
}

}  // namespace
}  // namespace linkmate::text
