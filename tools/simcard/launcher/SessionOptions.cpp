#include "tools/simcard/launcher/SessionOptions.h"

#include "base/CommandLine.h"
#include "tools/simcard/core/Options.h"

#include <algorithm>
#include <array>
#include <sstream>

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
              "port 35963, first), or of a private pcscd started for it"},
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
            options.image = std::string(value);
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
    out << "Usage: simcard-session --image PATH [--iccid DIGITS] [--uicc [--phonebook LAYOUT]\n"
           "                       [--local-phonebook] [--gsm-class]] [--timing real [--baud N]\n"
           "                       [--write-ms N]] [--use-real-card] -- COMMAND [ARGUMENT...]\n"
           "\n"
           "Runs COMMAND with a SIM card in a reader, and QUENLIB_READER naming that reader.\n"
           "\n"
           "Options:\n";
    tarvik::WriteHelpRows(tarvik::OptionRows(sessionOptions), out, 18);
    out << "\n"
           "Whatever was started is stopped when COMMAND ends, also after Ctrl+C.\n"
           "The exit status is COMMAND's.\n";
    return out.str();
}

} // namespace simcard
