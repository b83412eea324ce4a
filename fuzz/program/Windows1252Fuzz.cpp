// The Windows-1252 codec: any byte string survives UTF-8 and UTF-16 unchanged, and text
// that converts into Windows-1252 converts back to itself.
#include "base/Windows1252.h"
#include "fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const auto viaUtf8 = Utf8ToWindows1252(Windows1252ToUtf8(bytes));
    fuzz::Check(viaUtf8.ok() && viaUtf8.text == bytes, "bytes survive UTF-8");
    const auto viaUtf16 = Utf16ToWindows1252(Windows1252ToUtf16(bytes));
    fuzz::Check(viaUtf16.ok() && viaUtf16.text == bytes, "bytes survive UTF-16");

    const auto fromUtf8 = Utf8ToWindows1252(bytes);
    if (fromUtf8.ok()) {
        fuzz::Check(Windows1252ToUtf8(fromUtf8.text) == bytes, "UTF-8 text converts back");
    } else {
        fuzz::Check(fromUtf8.text.size() <= bytes.size(), "a refusal keeps a prefix only");
    }
    return 0;
}
