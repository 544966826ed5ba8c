#include "platform/Desktop.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace vexamo {
namespace {

// Only the refusals: opening a real file would start a program on the test machine.
TEST(Desktop, RefusesWhatIsNotAFile) {
    testing::TempDir dir;
    EXPECT_FALSE(OpenWithDesktop(dir / "Vexamo.chm"));
    EXPECT_FALSE(OpenWithDesktop(dir.Path()));
}

} // namespace
} // namespace vexamo
