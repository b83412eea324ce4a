#pragma once

#include "tools/simcard/core/Bytes.h"
#include "tools/simcard/core/CardImage.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace simcard {

// What a powered UICC remembers between commands: the current directory and EF, the record
// pointer, the response data waiting for GET RESPONSE, whether ADF USIM was selected and
// which PINs were verified.
struct UiccState {
    DirectoryId currentDirectory = MasterFile;
    std::optional<std::uint16_t> currentFile;
    int currentRecord = 0; // 0: no record pointer
    Bytes pendingResponse;
    bool applicationActive = false;
    std::array<bool, 2> verified{}; // PIN1, PIN2
};

// The ETSI TS 102 221 command interpreter of a UICC with a USIM, over T=0: one command
// APDU in, one response APDU out. Response data of a case 4 command waits for GET
// RESPONSE behind 61 xx; a case 2 command with the wrong Le answers 6C xx and does nothing
// else. It works on the state, image and store it is given, for one command.
class UiccCommands {
public:
    using Persist = std::function<bool(const CardImage&)>;

    UiccCommands(UiccState& state, CardImage& image, const Persist& persist)
        : state_(state), image_(image), persist_(persist) {}

    Bytes process(std::span<const std::uint8_t> apdu);

private:
    struct Command {
        std::uint8_t cla = 0, ins = 0, p1 = 0, p2 = 0, p3 = 0;
        std::span<const std::uint8_t> data;
    };

    Bytes select(const Command& c);
    Bytes getResponse(const Command& c);
    Bytes status(const Command& c);
    Bytes readRecord(const Command& c);
    Bytes updateRecord(const Command& c);
    Bytes readBinary(const Command& c);
    Bytes updateBinary(const Command& c);
    // VERIFY PIN, or with `change` CHANGE PIN, which verifies the PIN before replacing it.
    Bytes verifyPin(const Command& c, bool change);
    // DISABLE VERIFICATION, or with `enable` ENABLE VERIFICATION.
    Bytes switchVerification(const Command& c, bool enable);
    Bytes unblockPin(const Command& c);

    // The directory a file identifier names from the current directory (§8.4.1); nullopt
    // when it names no directory reachable from there.
    std::optional<DirectoryId> reachableDirectory(std::uint16_t id) const;
    Bytes selected(bool withFcp);
    Bytes fcpOfCurrent() const;
    // PIN n (1 or 2) from a key reference in P2: 01 PIN1, 81 PIN2; 0 for any other.
    static int pinNumber(std::uint8_t keyReference);
    bool pinEnabled(int n) const { return n == 2 || image_.chv1Enabled(); }
    bool pin1Satisfied() const { return !image_.chv1Enabled() || state_.verified[0]; }
    // Files outside the MF need PIN1 for reading and updating; the MF's are read always and
    // updated never.
    static bool pinProtected(FilePath path) { return path.df != MasterFile; }
    // The selected EF, or the status word refusing the command.
    struct Selected {
        ElementaryFile* file = nullptr;
        std::uint16_t error = 0;
    };
    Selected currentEf(bool wantRecords, bool updating);
    // The record READ or UPDATE RECORD addresses by P1 and the mode in P2, with the record
    // pointer after it (0: unchanged); 0 and an error when there is none.
    struct RecordChoice {
        int record = 0;
        int newPointer = 0;
        std::uint16_t error = 0;
    };
    RecordChoice chooseRecord(const Command& c, int count) const;
    // Stores the image; on failure restores `before` and answers 65 81.
    Bytes commit(const CardImage& before, Bytes success);

    UiccState& state_;
    CardImage& image_;
    const Persist& persist_;
};

} // namespace simcard
