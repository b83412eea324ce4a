#include "program/ProgramEntries.h"

#include "base/TextLines.h"

#include <algorithm>
#include <array>

namespace tarvik {
namespace {

// Entry names with their digits folded to "1", in the order the device documents them.
constexpr std::array<std::string_view, 37> kKeywordPatterns{
    "TL1", "TL1C",  "TL1S",  "IP1",   "DL1",   "IF1",   "IFA1", "OA1",  "OA11", "OP1",
    "LK1", "TO1",   "TK1",   "RED",   "RFL",   "RFT",   "PTM",  "MIC",  "CLP",  "NET",
    "VMT", "VBT",   "MGT",   "RGT",   "SPH",   "TPR",   "OFM",  "MRES", "IC",   "IR",
    "IA",  "LANET", "TLCHK", "IDCON", "OUTPR", "GSMPR", "SPK"};

// Families whose names carry free text or a long index after two characters.
constexpr std::array<std::string_view, 7> kKeywordPrefixes{"V1", "#1", "$1", "$A",
                                                           "RR", "TR", "LK"};

} // namespace

bool IsProgramKeyword(std::string_view name) {
    if (name.size() < 2) {
        return false;
    }
    std::string folded = UpperAscii(name);
    for (char& c : folded) {
        if (c >= '0' && c <= '9') {
            c = '1';
        }
    }
    if (std::find(kKeywordPatterns.begin(), kKeywordPatterns.end(), folded) !=
        kKeywordPatterns.end()) {
        return true;
    }
    const std::string_view head = std::string_view(folded).substr(0, 2);
    return std::find(kKeywordPrefixes.begin(), kKeywordPrefixes.end(), head) !=
           kKeywordPrefixes.end();
}

std::string NormaliseNumber(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        if (c == '+') {
            result += "00";
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace tarvik
