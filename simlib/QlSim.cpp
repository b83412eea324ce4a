// The QLSIM_ exports: library lifecycle, card connection and CHV1.
#include "simlib/CardInfo.h"
#include "simlib/Chv.h"
#include "simlib/ExportGuard.h"
#include "simlib/Iccid.h"
#include "simlib/LibraryState.h"
#include "simlib/ReaderName.h"
#include "simlib/Session.h"
#include "simlib/Trace.h"
#include "simlib/include/quenlib.h"

#include <optional>
#include <string_view>

using namespace quenlib;

namespace {

QLRESULT chvCommand(ChvCommand command, const char* first, const char* second = nullptr) {
    const bool twoCodes = command == ChvCommand::Change || command == ChvCommand::Unblock;
    if (first == nullptr || (twoCodes && second == nullptr)) {
        return QL_E_FAILED;
    }
    return guarded([&] {
        const auto secondCode = twoCodes ? std::optional<std::string_view>(second) : std::nullopt;
        return runChvCommand(command, first, secondCode);
    });
}

// The CHV state, or the failure code of the query.
template <typename Use>
QLRESULT withChvState(bool withPin2, Use&& use) {
    return guarded([&] {
        ChvState chv;
        const QLRESULT result = queryChvState(withPin2, chv);
        if (result == QL_OK) {
            use(chv);
        }
        return result;
    });
}

} // namespace

extern "C" {

QL_API QLRESULT QLSIM_Init(void) {
    return guarded([] { return initialise(configuredReaderName()); });
}

QL_API QLRESULT QLSIM_Final(void) {
    guarded([] { return finalise(); });
    return QL_OK;
}

QL_API QLRESULT QLSIM_Connect(void* /*reserved*/) {
    return guarded([] { return connectCard(); });
}

QL_API QLRESULT QLSIM_Disconnect(void* /*reserved*/) {
    guarded([] { return disconnectCard(); });
    return QL_OK;
}

QL_API QLRESULT QLSIM_Status(uint32_t /*unused*/) {
    return QL_E_FAILED;
}

QL_API QLRESULT QLSIM_StatusChange(uint32_t unused) {
    return QLSIM_Status(unused);
}

QL_API QLRESULT QLSIM_VerifyPIN1(const char* pin) {
    return chvCommand(ChvCommand::Verify, pin);
}

QL_API QLRESULT QLSIM_ChangePIN1(const char* oldPin, const char* newPin) {
    return chvCommand(ChvCommand::Change, oldPin, newPin);
}

QL_API QLRESULT QLSIM_UnblockPIN1(const char* puk, const char* newPin) {
    return chvCommand(ChvCommand::Unblock, puk, newPin);
}

QL_API QLRESULT QLSIM_DisablePIN1(const char* pin) {
    return chvCommand(ChvCommand::Disable, pin);
}

QL_API QLRESULT QLSIM_EnablePIN1(const char* pin) {
    return chvCommand(ChvCommand::Enable, pin);
}

QL_API QLRESULT QLSIM_GetPIN1State(uint32_t* enabled, uint32_t* attemptsLeft) {
    if (enabled == nullptr || attemptsLeft == nullptr) {
        return QL_E_FAILED;
    }
    return withChvState(false, [&](const ChvState& chv) {
        if (TraceEnabled()) {
            Trace("\nGetPIN1State :\n");
            Trace(chvTraceLine(chv.response));
        }
        *enabled = chv.pin1Enabled ? 1 : 0;
        *attemptsLeft = chv.pin1AttemptsLeft;
    });
}

QL_API QLRESULT QLSIM_GetPINContext(QL_PIN_CONTEXT* context) {
    if (context == nullptr) {
        return QL_E_FAILED;
    }
    return withChvState(true, [&](const ChvState& chv) { fillPinContext(chv, *context); });
}

QL_API QLRESULT QLSIM_GetCardInfo(QL_CARD_INFO* info) {
    if (info == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return describeCard(*info); });
}

QL_API QLRESULT QLSIM_GetICCID(char* digits, uint32_t size) {
    return guarded([&] { return readIccid(digits, size); });
}

} // extern "C"
