#pragma once

// The program every editor benchmark works on: 256 ordinary entries, 229 barrier (RR)
// lines and 1,000 TR lines, 1,500 lines in all. variant changes every number, so that two
// variants differ in every line a decoding shows.

#include <cstdio>
#include <string>
#include <vector>

namespace tarvik::bench {

inline std::vector<std::string> FullProgram(int variant = 0) {
    std::vector<std::string> lines;
    const char* options[] = {"RED=3",  "RFL=12", "RFT=12",  "PTM=24", "MIC=12", "NET=I TIM",
                             "VMT=5",  "VBT=10", "MRES=10", "MGT=20", "RGT=90", "SPH=3544",
                             "TPR=12", "SPK=6",  "CLP=1",   "OFM=1"};
    for (const char* line : options) {
        lines.emplace_back(line);
    }
    const std::string v = std::to_string(variant % 10);
    for (int i = 0; i < 10; ++i) {
        const std::string n = std::to_string(i);
        lines.push_back("TL" + n + "=0039333" + v + "234" + n);
        lines.push_back("TO" + n + ":" + std::to_string(i % 6) + "=0039333" + v + "99" + n);
        lines.push_back("TK" + n + "=112" + v + n);
        lines.push_back("#" + n + "Alarm-" + v + n + "=" + n);
        lines.push_back("LK" + n + "=12" + v);
    }
    for (int i = 0; i <= 4; ++i) {
        lines.push_back("IP" + std::to_string(i) + "=1");
        lines.push_back("IF" + std::to_string(i) + "=1" + v);
        lines.push_back("IFA" + std::to_string(i) + "=2" + v);
    }
    for (int i = 1; i <= 4; ++i) {
        const std::string n = std::to_string(i);
        for (const char* keyword : {"DL", "OP", "OA", "IC", "IR", "IA"}) {
            lines.push_back(keyword + n + "=" + n + v);
        }
    }
    // Fill the ordinary entries up to 256 with lines the form does not show.
    for (int i = 0; lines.size() < 256; ++i) {
        lines.push_back("X" + std::to_string(i) + "=" + std::to_string(i));
    }
    for (int i = 0; i < 229; ++i) {
        const std::string number = std::to_string(393330000000LL + i + 1000LL * variant);
        lines.push_back("RR" + number.substr(number.size() - 8) + ":" +
                        std::to_string((i + variant) % 16) + "=" + number);
    }
    for (int i = 0; i < 1000; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "TR%.3d", i);
        lines.push_back(std::string(name) + "=0039444" +
                        std::to_string(100000 + i + 1000 * variant));
    }
    return lines;
}

} // namespace tarvik::bench
