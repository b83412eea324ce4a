#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace simcard {

// simcard-session --image PATH[,PATH...] [--image ...] [--iccid DIGITS] [--uicc [--phonebook
// LAYOUT]
//                 [--local-phonebook] [--gsm-class]] [--timing real [--baud N] [--write-ms N]]
//                 [--use-real-card] -- COMMAND [ARGUMENT...]
struct SessionOptions {
    // One reader per --image: the card images of its queue, the first in the reader.
    std::vector<std::vector<std::filesystem::path>> readers;
    // The first reader's first card.
    std::filesystem::path image;
    std::string iccid; // for a new image; empty: simcard's default
    // What shapes a new image beyond the ICCID, as simcard's own options: --uicc,
    // --phonebook LAYOUT, --local-phonebook, --gsm-class; and the card's timing: --timing MODE,
    // --baud N, --write-ms N.
    std::vector<std::string> cardArguments;
    bool useRealCard = false;
    std::vector<std::string> command;
};

struct ParsedSession {
    SessionOptions options;
    bool help = false;
    std::string error; // empty when the arguments were good
};

ParsedSession ParseSessionArguments(const std::vector<std::string_view>& arguments);
std::string SessionUsage();

} // namespace simcard
