// The trace's channel where there is no debugger output: standard error, while QUENLIB_TRACE
// is 1.
#include "simlib/tests/LibraryFixture.h"
#include "simlib/tests/TestEnvironment.h"

#include <string>

namespace quenlib::fake {
namespace {

class StandardErrorTraceTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        connect();
    }
};

TEST_F(StandardErrorTraceTest, GetPin1StateTracesOnlyWhenEnabled) {
    uint32_t enabled = 0;
    uint32_t attempts = 0;
    ::testing::internal::CaptureStderr();
    test_support::UnsetVariable("QUENLIB_TRACE");
    ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
    test_support::SetVariable("QUENLIB_TRACE", "0");
    ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    ::testing::internal::CaptureStderr();
    test_support::SetVariable("QUENLIB_TRACE", "1");
    ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
    QL_PIN_CONTEXT context{};
    ASSERT_EQ(QLSIM_GetPINContext(&context), QL_OK);
    test_support::UnsetVariable("QUENLIB_TRACE");
    const std::string output = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(output.rfind("\nGetPIN1State :\n", 0), 0u);
    EXPECT_NE(output.find("==>80 "), std::string::npos); // CHV1 disabled
    EXPECT_NE(output.find("==>83 "), std::string::npos);
    // One header and one line of the card's 22 bytes: the context query writes nothing.
    EXPECT_EQ(output.size(), std::string("\nGetPIN1State :\n").size() + 22 * 3 + 2 * 3 + 1);
}

} // namespace
} // namespace quenlib::fake
