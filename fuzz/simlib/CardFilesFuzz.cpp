// What a UICC says about its files: FCP templates, EF_PBR records and EF.DIR records. Any
// bytes parse or give an error without reading outside them, and what parses is consistent.
#include "fuzz/FuzzCheck.h"
#include "simlib/coding/FileControlParameters.h"
#include "simlib/coding/PhonebookReferences.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

using tarvik::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly the input's size, so that a read past it is a read past the heap
    // block the sanitizers watch.
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::span<const std::uint8_t> input(bytes);

    const auto parse = quenlib::ParseFcp(input);
    Check(parse.fcp.has_value() != !parse.error.empty(), "an FCP parses or says why not");
    if (parse.fcp) {
        Check(parse.fcp->recordLength <= 0xFFFF && parse.fcp->recordCount <= 0xFF,
              "record geometry fits its fields");
    }
    if (const auto files = quenlib::ParsePbrRecord(input)) {
        Check(files->adn != 0, "EF_PBR names an EF ADN");
    }
    if (const auto aid = quenlib::UsimAidOf(input)) {
        Check(aid->size() >= 7 && aid->size() <= 16, "an AID has 7 to 16 bytes");
    }
    return 0;
}
