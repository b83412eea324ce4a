#include "modem/ErrorText.h"

#include <array>
#include <charconv>
#include <utility>

namespace tarvik::modem {
namespace {

using Meaning = std::pair<int, std::string_view>;

// <err> of +CMS ERROR (3GPP TS 27.005 3.2.5) that a modem gives for a message it cannot send.
constexpr std::array cmsMeanings{
    Meaning{1, "unassigned number"},
    Meaning{8, "operator determined barring"},
    Meaning{10, "call barred"},
    Meaning{21, "short message transfer rejected"},
    Meaning{27, "destination out of order"},
    Meaning{38, "network out of order"},
    Meaning{42, "congestion"},
    Meaning{300, "ME failure"},
    Meaning{301, "SMS service of ME reserved"},
    Meaning{302, "operation not allowed"},
    Meaning{303, "operation not supported"},
    Meaning{304, "invalid PDU mode parameter"},
    Meaning{305, "invalid text mode parameter"},
    Meaning{310, "SIM not inserted"},
    Meaning{311, "SIM PIN required"},
    Meaning{312, "PH-SIM PIN required"},
    Meaning{313, "SIM failure"},
    Meaning{314, "SIM busy"},
    Meaning{315, "SIM wrong"},
    Meaning{316, "SIM PUK required"},
    Meaning{317, "SIM PIN2 required"},
    Meaning{318, "SIM PUK2 required"},
    Meaning{320, "memory failure"},
    Meaning{321, "invalid memory index"},
    Meaning{322, "memory full"},
    Meaning{330, "SMSC address unknown"},
    Meaning{331, "no network service"},
    Meaning{332, "network timeout"},
    Meaning{340, "no +CNMA acknowledgement expected"},
    Meaning{500, "unknown error"},
};

// <err> of +CME ERROR (3GPP TS 27.007 9.2.1), those of the phone, its SIM and the network.
constexpr std::array cmeMeanings{
    Meaning{0, "phone failure"},
    Meaning{1, "no connection to phone"},
    Meaning{2, "phone-adaptor link reserved"},
    Meaning{3, "operation not allowed"},
    Meaning{4, "operation not supported"},
    Meaning{5, "PH-SIM PIN required"},
    Meaning{10, "SIM not inserted"},
    Meaning{11, "SIM PIN required"},
    Meaning{12, "SIM PUK required"},
    Meaning{13, "SIM failure"},
    Meaning{14, "SIM busy"},
    Meaning{15, "SIM wrong"},
    Meaning{16, "incorrect password"},
    Meaning{17, "SIM PIN2 required"},
    Meaning{18, "SIM PUK2 required"},
    Meaning{20, "memory full"},
    Meaning{21, "invalid index"},
    Meaning{22, "not found"},
    Meaning{23, "memory failure"},
    Meaning{24, "text string too long"},
    Meaning{25, "invalid characters in text string"},
    Meaning{26, "dial string too long"},
    Meaning{27, "invalid characters in dial string"},
    Meaning{30, "no network service"},
    Meaning{31, "network timeout"},
    Meaning{32, "network not allowed - emergency calls only"},
    Meaning{100, "unknown"},
};

template <std::size_t N>
std::string WithMeaning(std::string_view line, std::string_view code,
                        const std::array<Meaning, N>& meanings) {
    int value = -1;
    const auto [end, ec] = std::from_chars(code.data(), code.data() + code.size(), value);
    // Blanks the modem left at the end of the line would stand before the meaning.
    std::string text(line.substr(0, line.find_last_not_of(' ') + 1));
    if (ec == std::errc() && end == code.data() + code.size()) {
        for (const auto& [number, meaning] : meanings) {
            if (number == value) {
                text += " (" + std::string(meaning) + ")";
            }
        }
    }
    return text;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') {
        s.remove_prefix(1);
    }
    while (!s.empty() && s.back() == ' ') {
        s.remove_suffix(1);
    }
    return s;
}

} // namespace

std::optional<std::string> DescribeFailure(std::string_view line) {
    if (line == "ERROR" || line == "NO CARRIER") {
        return std::string(line);
    }
    if (line.starts_with("+CMS ERROR:")) {
        return WithMeaning(line, Trim(line.substr(11)), cmsMeanings);
    }
    if (line.starts_with("+CME ERROR:")) {
        return WithMeaning(line, Trim(line.substr(11)), cmeMeanings);
    }
    return std::nullopt;
}

} // namespace tarvik::modem
