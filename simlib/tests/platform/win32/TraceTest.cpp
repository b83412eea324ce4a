// The trace's channel on Windows: the debugger output. OutputDebugStringA hands its text to
// a debugger by raising DBG_PRINTEXCEPTION_C (parameters: the length with the 0, the text);
// a vectored handler stands in for the debugger here.
#include "simlib/tests/LibraryFixture.h"

#include <string>
#include <windows.h>

namespace quenlib::fake {
namespace {

std::string debuggerOutput;

LONG CALLBACK CaptureDebugString(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    if (record.ExceptionCode != DBG_PRINTEXCEPTION_C || record.NumberParameters < 2) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    const auto length = static_cast<std::size_t>(record.ExceptionInformation[0]);
    const auto* text = reinterpret_cast<const char*>(record.ExceptionInformation[1]);
    debuggerOutput.append(text, length > 0 ? length - 1 : 0);
    return EXCEPTION_CONTINUE_EXECUTION;
}

class DebuggerTraceTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        connect();
        debuggerOutput.clear();
        handler_ = ::AddVectoredExceptionHandler(1, CaptureDebugString);
    }

    void TearDown() override {
        ::RemoveVectoredExceptionHandler(handler_);
        LibraryTest::TearDown();
    }

private:
    void* handler_ = nullptr;
};

TEST_F(DebuggerTraceTest, GetPin1StateTracesWithoutASwitch) {
    uint32_t enabled = 0;
    uint32_t attempts = 0;
    ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
    QL_PIN_CONTEXT context{};
    ASSERT_EQ(QLSIM_GetPINContext(&context), QL_OK);
    EXPECT_EQ(debuggerOutput.rfind("\nGetPIN1State :\n", 0), 0u);
    EXPECT_NE(debuggerOutput.find("==>80 "), std::string::npos); // CHV1 disabled
    // One header and one line of the card's 22 bytes: the context query writes nothing.
    EXPECT_EQ(debuggerOutput.size(), std::string("\nGetPIN1State :\n").size() + 22 * 3 + 2 * 3 + 1);
}

} // namespace
} // namespace quenlib::fake
