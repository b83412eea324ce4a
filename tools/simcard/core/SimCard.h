#pragma once

#include "tools/simcard/core/Bytes.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/core/UiccCommands.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace simcard {

// The card's command interpreter: one command APDU in, one response APDU (data and status
// word) out. A GSM 11.11 SIM, or, when the image is a UICC's, the ETSI TS 102 221 UICC of
// UiccCommands (with the SIM's class A0 beside it when the image says so; each view keeps
// its own current file and verified codes). It owns the card image and the volatile state of a
// powered card: the current directory and file, the record pointer, the response waiting for GET
// RESPONSE and which codes were verified.
class SimCard {
public:
    // Called with the changed image before a changing command answers; when it returns false
    // the change is undone and the command answers 92 40 (memory problem).
    using Persist = std::function<bool(const CardImage&)>;

    explicit SimCard(CardImage image, Persist persist = {});

    Bytes process(std::span<const std::uint8_t> apdu);
    // Power cycle or reset: back to the MF with no code verified.
    void reset();

    const CardImage& image() const { return image_; }
    // The image to shape while the card runs, for test harnesses. The card keeps its current
    // directory and file by identifier: a file taken away counts as none selected.
    CardImage& image() { return image_; }

private:
    struct Command {
        std::uint8_t ins = 0, p1 = 0, p2 = 0, p3 = 0;
        std::span<const std::uint8_t> data;
    };

    Bytes select(const Command& c);
    Bytes getResponse(const Command& c);
    Bytes status(const Command& c);
    Bytes readRecord(const Command& c);
    Bytes updateRecord(const Command& c);
    // VERIFY CHV, or with `change` CHANGE CHV, which verifies the code before replacing it.
    Bytes verifyChv(const Command& c, bool change);
    Bytes disableChv(const Command& c);
    Bytes enableChv(const Command& c);
    Bytes unblockChv(const Command& c);
    Bytes readBinary(const Command& c);
    Bytes updateBinary(const Command& c);
    Bytes caseCount(const Command& c);
    Bytes readCase(const Command& c);
    Bytes writeCase(const Command& c);
    // The status word that refuses a READ or WRITE CASE, nullopt when it may go ahead.
    std::optional<std::uint16_t> caseNumber(const Command& c) const;

    // Presents `presented` to `code`: resets its counter on a match, counts down otherwise.
    // Returns the status word for a mismatch or a blocked code, nullopt on a match.
    std::optional<std::uint16_t> present(SecretCode& code, std::span<const std::uint8_t> presented);
    // Stores the image; on failure restores `before` and answers 92 40.
    Bytes commit(const CardImage& before, Bytes success);

    Bytes directoryResponse(std::uint16_t id) const;
    Bytes fileResponse(FilePath path) const;
    // Bytes 9 to 11 of an EF's response: the access conditions of GSM 11.11, 10.
    static std::array<std::uint8_t, 3> accessConditions(FilePath path);
    // The selected EF when it is transparent; else null with the status word in `error`.
    const ElementaryFile* currentTransparentFile(std::uint16_t& error) const;
    // A record that READ/UPDATE RECORD may use: `stored`, null when refused with `error`;
    // `newPointer` the record pointer after the command, 0 when the mode leaves it alone.
    struct RecordAccess {
        Bytes* stored = nullptr;
        int newPointer = 0;
        std::uint16_t error = 0;
    };
    // The checks READ and UPDATE RECORD share, in the order the card makes them: a selected
    // EF, the mode in P2, CHV1, P3 (and with `carriesData` the data) against the record
    // length, then the record the mode and P1 address.
    RecordAccess accessRecord(const Command& c, bool carriesData);
    bool chv1Satisfied() const { return !image_.chv1Enabled() || verified_[0]; }

    CardImage image_;
    Persist persist_;
    std::uint16_t currentDirectory_ = MasterFile;
    std::optional<std::uint16_t> currentFile_;
    int currentRecord_ = 0; // 0: no record pointer
    Bytes pendingResponse_;
    std::array<bool, 2> verified_{};
    UiccState uicc_;
};

} // namespace simcard
