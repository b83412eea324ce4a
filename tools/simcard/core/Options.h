#pragma once

#include "base/CommandLine.h"
#include "tools/simcard/core/Bytes.h"
#include "tools/simcard/core/CardSettings.h"
#include "tools/simcard/core/CardTiming.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace simcard {

// Fault: answers to commands with this INS are cut to `length` bytes (data and status word
// together); without a length, the last byte is cut off.
struct ShortAnswer {
    std::uint8_t ins = 0;
    std::optional<std::size_t> length;
};

// "INS" or "INS:N", INS in hex.
std::optional<ShortAnswer> ParseShortAnswer(std::string_view text);

// A plain 3B 02 14 50: direct convention, T=0.
Bytes DefaultAtr();
// 3B 05 00 00 44 54 4D: T=0 with "DTM" in bytes 5 to 7, the mark of a card with case
// records.
Bytes CaseCardAtr();
// 3B 80 80 1F C6 D9: T=0, then the global interface bytes of T=15 (ETSI TS 102 221 §6.3.3):
// TA for T=15 with the classes B and C (3 V and 1.8 V), and the check byte.
Bytes UiccAtr();

struct Options {
    std::string host = "127.0.0.1";
    int port = 0x8C7B;
    std::filesystem::path imagePath = "simcard.img";
    // Further cards, queued behind the first: SIGUSR1 takes the card out of the reader,
    // SIGUSR2 puts the next one in (after the last, the first again).
    std::vector<std::filesystem::path> queuedImages;
    CardSettings settings; // used only when the image does not exist yet
    // Empty: the case card's ATR for an image with the contact-case application, the UICC's
    // for a UICC's image, else the default one.
    std::optional<Bytes> atr;
    std::filesystem::path commandLog; // empty: none
    int dropAfterCommands = -1;       // -1: never
    std::vector<ShortAnswer> shortAnswers;
    // Fault: a successful UPDATE RECORD or UPDATE BINARY answers 63 CX, X this count (1 to
    // 15), as a UICC does that wrote the data after internal retries; 0: never.
    int updateRetries = 0;
    // With real timing, each answer leaves when a real card's would (see CardTiming);
    // otherwise at once.
    bool realTiming = false;
    CardTiming timing;
    bool exitOnClose = false;
};

class CardImage;
// The ATR of the options, else the one the image's kind of card gives.
Bytes AtrFor(const Options& options, const CardImage& image);

struct ParsedArguments {
    Options options;
    bool help = false;
    bool version = false;
    std::string error; // not empty: the arguments were refused
};

// The ICCID a new image of the queue gets: the given digits plus its place in the queue
// (0 for the first card), as many digits as before, so that every queued card differs.
std::string QueuedIccid(const std::string& digits, std::size_t place);

ParsedArguments ParseArguments(std::span<const std::string_view> arguments);
// Every option simcard takes, as its help lists them.
std::span<const tarvik::ArgOption> OptionTable();
std::string Usage();

} // namespace simcard
