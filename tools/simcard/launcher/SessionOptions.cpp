#include "tools/simcard/launcher/SessionOptions.h"

#include "tools/simcard/core/Options.h"

namespace simcard {

ParsedSession parseSessionArguments(const std::vector<std::string_view>& arguments) {
    ParsedSession parsed;
    std::vector<std::string_view> timing;
    std::size_t i = 0;
    for (; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--") {
            ++i;
            break;
        }
        if (argument == "--help" || argument == "-h") {
            parsed.help = true;
            return parsed;
        }
        if (argument == "--use-real-card") {
            parsed.options.useRealCard = true;
        } else if (argument == "--uicc" || argument == "--local-phonebook" ||
                   argument == "--gsm-class") {
            parsed.options.cardArguments.emplace_back(argument);
        } else if (argument == "--phonebook" && i + 1 < arguments.size() &&
                   (arguments[i + 1] == "telecom" || arguments[i + 1] == "global" ||
                    arguments[i + 1] == "local")) {
            parsed.options.cardArguments.emplace_back(argument);
            parsed.options.cardArguments.emplace_back(arguments[++i]);
        } else if ((argument == "--timing" || argument == "--baud" || argument == "--write-ms") &&
                   i + 1 < arguments.size()) {
            timing.push_back(argument);
            timing.push_back(arguments[++i]);
        } else if (argument == "--image" && i + 1 < arguments.size() && !arguments[i + 1].empty()) {
            parsed.options.image = std::string(arguments[++i]);
        } else if (argument.starts_with("--image=") && argument.size() > 8) {
            parsed.options.image = std::string(argument.substr(8));
        } else if (argument == "--iccid" && i + 1 < arguments.size() && !arguments[i + 1].empty()) {
            parsed.options.iccid = std::string(arguments[++i]);
        } else {
            parsed.error = "unexpected argument '" + std::string(argument) + "'";
            return parsed;
        }
    }
    for (; i < arguments.size(); ++i)
        parsed.options.command.emplace_back(arguments[i]);
    // The card's own parser judges the timing options, so that a bad value is refused here
    // and not by a card that then never shows up.
    if (auto checked = parseArguments(timing); !checked.error.empty()) {
        parsed.error = checked.error;
        return parsed;
    }
    parsed.options.cardArguments.insert(parsed.options.cardArguments.end(), timing.begin(),
                                        timing.end());
    if (parsed.options.image.empty())
        parsed.error = "--image PATH is missing";
    else if (parsed.options.command.empty())
        parsed.error = "no command after --";
    return parsed;
}

std::string sessionUsage() {
    return "usage: simcard-session --image PATH [--iccid DIGITS] [--uicc [--phonebook LAYOUT]\n"
           "                       [--local-phonebook] [--gsm-class]] [--timing real [--baud N]\n"
           "                       [--write-ms N]] [--use-real-card] -- COMMAND "
           "[ARGUMENT...]\n"
           "\n"
           "Runs COMMAND with a SIM card in a reader, and QUENLIB_READER naming that reader.\n"
           "  --use-real-card  use a card in a real reader when one is there; nothing is\n"
           "                   started then\n"
           "  --image PATH     otherwise a virtual card (simcard) on this card image, made\n"
           "                   with the PIN disabled when missing; it goes into the vpcd\n"
           "                   reader of the running pcscd (the system's \"Virtual PCD\",\n"
           "                   port 35963, first), or of a private pcscd started for it\n"
           "  --iccid DIGITS   the ICCID a new card image gets\n"
           "  --uicc           a new card image is a UICC with a USIM (class 00)\n"
           "  --phonebook telecom|global|local\n"
           "                   where that UICC keeps its phonebook: DF Telecom, DF\n"
           "                   Telecom/5F3A or ADF USIM/5F3A (see simcard --help)\n"
           "  --local-phonebook  that UICC also has a USIM phonebook in ADF USIM\n"
           "  --gsm-class      that UICC also answers class A0, as a GSM SIM\n"
           "  --timing instant|real, --baud N, --write-ms N\n"
           "                   the card answers at once (the default) or as a card on T=0\n"
           "                   at N baud with N ms per EEPROM write (see simcard --help)\n"
           "Whatever was started is stopped when COMMAND ends, also after Ctrl+C.\n"
           "The exit status is COMMAND's.\n";
}

} // namespace simcard
