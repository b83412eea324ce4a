// The editor's programs load the card library when they start and import from it exactly
// the functions the card transfers use.
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> OutputLines(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::vector<std::string> lines;
    char line[1024];
    while (pipe && std::fgets(line, sizeof line, pipe.get()) != nullptr) {
        lines.emplace_back(line);
    }
    return lines;
}

// The eleven of Read SIM and Write SIM, the raw records and the extension buffer for
// backups and their restore, the ICCID that names a backup, and what `card` asks: the
// card's kind, the PIN presented, whether EF SMS and EF MSISDN are there.
TEST(SimLink, CliImportsExactlyTheCardFunctionsOfTheTransfers) {
    std::vector<std::string> imported;
    for (const auto& line : OutputLines("nm -D --undefined-only '" TARVIK_CLI_PATH "'")) {
        std::istringstream fields(line);
        std::string type;
        std::string name;
        if (fields >> type >> name && name.starts_with("QL")) {
            imported.push_back(name);
        }
    }
    std::sort(imported.begin(), imported.end());
    EXPECT_EQ(
        imported,
        (std::vector<std::string>{
            "QLADN_Flush",         "QLADN_ReadExt1BufP", "QLADN_ReadItemW",   "QLADN_ReadRecord",
            "QLADN_SelectFile",    "QLADN_WriteExt1Buf", "QLADN_WriteItemW",  "QLADN_WriteRecord",
            "QLISDN_SelectFile",   "QLSIM_Connect",      "QLSIM_DisablePIN1", "QLSIM_Disconnect",
            "QLSIM_Final",         "QLSIM_GetCardInfo",  "QLSIM_GetICCID",    "QLSIM_GetPIN1State",
            "QLSIM_GetPINContext", "QLSIM_Init",         "QLSIM_VerifyPIN1",  "QLSMS_SelectFile"}));
}

// By the library's soname, so that an installed program keeps the interface it was built for.
TEST(SimLink, CliNeedsTheLibraryAtLoadTimeByItsSoname) {
    bool needed = false;
    for (const auto& line : OutputLines("readelf -d '" TARVIK_CLI_PATH "'")) {
        needed = needed || (line.find("(NEEDED)") != std::string::npos &&
                            line.find("[libquenlib.so.1]") != std::string::npos);
    }
    EXPECT_TRUE(needed);
}

} // namespace
