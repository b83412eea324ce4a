#include "tools/simcard/launcher/SessionOptions.h"

#include "base/CommandLine.h"
#include "tools/simcard/core/Options.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <string>

namespace simcard {

using tarvik::ArgOption;
using tarvik::ArgValue;

namespace {

constexpr std::array sessionOptions{
    ArgOption{"--use-real-card", ArgValue::None, "",
              "use a card in a real reader when one is there; nothing is\n"
              "started then"},
    ArgOption{"--image", ArgValue::File, "PATH",
              "otherwise a virtual card (simcard) on this card image, made\n"
              "with the PIN disabled when missing; it goes into the vpcd\n"
              "reader of the running pcscd (the system's \"Virtual PCD\",\n"
              "port 35963, first), or of a private pcscd started for it;\n"
              "further images after commas wait in the same reader (kill\n"
              "-USR1 PID takes the card out, -USR2 puts the next in); given\n"
              "again, one more reader"},
    ArgOption{"--iccid", ArgValue::Name, "DIGITS", "the ICCID a new card image gets"},
    ArgOption{"--uicc", ArgValue::None, "", "a new card image is a UICC with a USIM (class 00)"},
    ArgOption{"--phonebook", ArgValue::Text, "telecom|global|local",
              "where that UICC keeps its phonebook: DF Telecom, DF\n"
              "Telecom/5F3A or ADF USIM/5F3A (see simcard --help)"},
    ArgOption{"--local-phonebook", ArgValue::None, "",
              "that UICC also has a USIM phonebook in ADF USIM"},
    ArgOption{"--gsm-class", ArgValue::None, "", "that UICC also answers class A0, as a GSM SIM"},
    ArgOption{"--timing", ArgValue::Text, "instant|real",
              "the card answers at once (the default) or as a card on T=0"},
    ArgOption{"--baud", ArgValue::Text, "N", "at N baud (see simcard --help)"},
    ArgOption{"--write-ms", ArgValue::Text, "N", "with N ms per EEPROM write"},
    ArgOption{"--help", ArgValue::None, "", "show this text and exit"},
};

} // namespace

ParsedSession ParseSessionArguments(const std::vector<std::string_view>& arguments) {
    ParsedSession parsed;
    // The command and its own arguments follow "--", untouched.
    const auto end = std::find(arguments.begin(), arguments.end(), "--");
    const std::vector<std::string_view> ours(arguments.begin(), end);
    if (tarvik::AsksForHelp(ours)) {
        parsed.help = true;
        return parsed;
    }
    const tarvik::ArgParse parse = tarvik::ParseArgs(sessionOptions, {}, ours);
    if (!parse.ok()) {
        parsed.error = parse.error;
        return parsed;
    }
    SessionOptions& options = parsed.options;
    for (const auto& [name, value] : parse.args.options) {
        if (name == "--use-real-card") {
            options.useRealCard = true;
        } else if (name == "--image") {
            std::vector<std::filesystem::path> queue;
            std::string_view rest = value;
            for (;;) {
                const auto comma = rest.find(',');
                const std::string_view one = rest.substr(0, comma);
                if (one.empty()) {
                    parsed.error = "--image: an empty image name in '" + std::string(value) + "'";
                    return parsed;
                }
                queue.emplace_back(std::string(one));
                if (comma == std::string_view::npos)
                    break;
                rest.remove_prefix(comma + 1);
            }
            options.readers.push_back(std::move(queue));
        } else if (name == "--iccid") {
            options.iccid = std::string(value);
        } else {
            options.cardArguments.emplace_back(name);
            if (tarvik::FindArgOption(sessionOptions, name)->value != ArgValue::None) {
                options.cardArguments.emplace_back(value);
            }
        }
    }
    if (end != arguments.end()) {
        options.command.assign(end + 1, arguments.end());
    }
    if (!options.readers.empty()) {
        options.image = options.readers.front().front();
    }
    // The card's own parser judges the card's options, so that a bad value is refused here
    // and not by a card that then never shows up.
    const std::vector<std::string_view> cardArguments(options.cardArguments.begin(),
                                                      options.cardArguments.end());
    if (auto checked = ParseArguments(cardArguments); !checked.error.empty()) {
        parsed.error = checked.error;
    } else if (options.image.empty()) {
        parsed.error = "--image PATH is missing";
    } else if (options.command.empty()) {
        parsed.error = "no command after --";
    }
    return parsed;
}

std::string SessionUsage() {
    std::ostringstream out;
    out << "Usage: simcard-session --image PATH[,PATH...] [--image ...] [--iccid DIGITS]\n"
           "                       [--uicc [--phonebook LAYOUT]\n"
           "                       [--local-phonebook] [--gsm-class]] [--timing real [--baud N]\n"
           "                       [--write-ms N]] [--use-real-card] -- COMMAND [ARGUMENT...]\n"
           "\n"
           "Runs COMMAND with a SIM card in a reader, and QUENLIB_READER naming that reader.\n"
           "With several --image options, a card in each of as many readers: COMMAND gets\n"
           "SIMCARD_READERS, the readers' names, and SIMCARD_PIDS, their simcard processes,\n"
           "each comma-separated in the order of the options; QUENLIB_READER names the first.\n"
           "A new image of reader N (from 0) gets the ICCID (--iccid or simcard's default)\n"
           "plus 1000 x N, so that no two readers hold the same card.\n"
           "\n"
           "Options:\n";
    tarvik::WriteHelpRows(tarvik::OptionRows(sessionOptions), out, 18);
    out << "\n"
           "Whatever was started is stopped when COMMAND ends, also after Ctrl+C.\n"
           "The exit status is COMMAND's.\n";
    return out.str();
}

} // namespace simcard
