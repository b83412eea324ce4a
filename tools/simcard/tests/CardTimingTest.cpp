#include "tools/simcard/core/CardTiming.h"

#include "base/Hex.h"

#include <gtest/gtest.h>

namespace simcard {
namespace {

using std::chrono::nanoseconds;

TEST(CardTimingTest, EtuIsFOverDTimesTheClockPeriod) {
    // ISO/IEC 7816-3 §7.1: etu = F / D × 1 / f; F = 372, f = 3.579545 MHz, D from Table 8.
    const struct {
        int baud;
        std::optional<int> d;
        long long etuNs;
    } cases[] = {
        {9600, 1, 103'924},   // 372 / 3.579545 MHz = 103.924 µs
        {19200, 2, 51'962},   // D = 2
        {38400, 4, 25'981},   // D = 4
        {115200, 12, 8'660},  // D = 12
        {57600, {}, 103'924}, // 6 is no D of Table 8: not a rate the card offers
        {9601, {}, 103'924},  {0, {}, 103'924},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BaudRateAdjustment(c.baud), c.d) << c.baud;
        EXPECT_EQ(ElementaryTimeUnit(c.baud).count(), c.etuNs) << c.baud;
    }
}

TEST(CardTimingTest, CommandTakesElevenEtuPerCharacterPlusTheWrite) {
    // Characters on T=0 (ISO/IEC 7816-3 §10.3): header 5, the procedure byte before data
    // (§10.3.3), data in or out, SW1 SW2. 11 etu = 1.143162 ms at 9,600 baud, 95.264 µs at
    // 115,200. Worked by hand: n characters × 11 × 103.9238 µs.
    const std::string record(56, '1'); // 28 bytes
    const struct {
        const char* command;
        std::string answer;
        int baud, writeMs;
        long long microseconds;
    } cases[] = {
        // 5 + 2: a status word alone, no procedure byte: 7 × 1.143162 = 8.002 ms.
        {"A0F2000000", "6D00", 9600, 4, 8'002},
        // SELECT: 5 + 1 + 2 in + 2 = 10 characters = 11.432 ms.
        {"A0A40000027F10", "9F16", 9600, 4, 11'432},
        // GET RESPONSE of 22 bytes: 5 + 1 + 22 + 2 = 30 = 34.295 ms.
        {"A0C0000016", std::string(44, '0') + "9000", 9600, 4, 34'295},
        // READ RECORD of 28 bytes: 36 characters = 41.154 ms.
        {"A0B201041C", record + "9000", 9600, 4, 41'154},
        // UPDATE RECORD of 28 bytes: 36 characters and the 4 ms write = 45.154 ms.
        {"A0DC01041C", "9000", 9600, 4, 45'154},
        {"A0DC01041C", "9000", 9600, 10, 51'154},
        // An update written after retries (ETSI TS 102 221 §10.2.1.2) wrote all the same.
        {"00DC01041C", "63C2", 9600, 4, 45'154},
        // UPDATE BINARY of 10 bytes: 5 + 1 + 10 + 2 = 18 characters = 20.577 ms, and 4 ms.
        {"00D600000A", "9000", 9600, 4, 24'577},
        // A refused update wrote nothing: 9804 (GSM 11.11 §9.4.5), 6A83 (TS 102 221 §10.2.1.5).
        {"A0DC01041C", "9804", 9600, 4, 41'154},
        {"00DCFF041C", "6A83", 9600, 4, 41'154},
        // The same READ RECORD at 115,200 baud: 36 × 11 × 8.660 µs = 3.429 ms.
        {"A0B201041C", record + "9000", 115200, 4, 3'429},
        {"A0DC01041C", "9000", 115200, 0, 3'429},
    };
    for (const auto& c : cases) {
        auto command = *tarvik::FromHex(c.command, tarvik::HexSpacing::Spaced);
        if (command.size() == 5 && command[4] > 0 && (command[1] == 0xDC || command[1] == 0xD6))
            command.resize(5 + command[4], 0x11); // an update carries its P3 data bytes
        const auto answer = *tarvik::FromHex(c.answer, tarvik::HexSpacing::Spaced);
        const auto duration = CommandDuration({c.baud, c.writeMs}, command, answer);
        EXPECT_NEAR(static_cast<double>(duration.count()) / 1000, c.microseconds, 1.0)
            << c.command << " " << c.answer << " at " << c.baud;
    }
}

TEST(CardTimingTest, ControlCodesAndBrokenCommandsTakeNoTime) {
    for (const char* hex : {"", "01", "A0B201"})
        EXPECT_EQ(CommandDuration({}, *tarvik::FromHex(hex, tarvik::HexSpacing::Spaced),
                                  *tarvik::FromHex("9000", tarvik::HexSpacing::Spaced)),
                  nanoseconds::zero())
            << hex;
}

} // namespace
} // namespace simcard
