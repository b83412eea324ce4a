// tarvik-cli.exe as a user runs it, against the virtual card behind the test card service:
// each test starts the program as a process of its own (wide command line, exit status as a
// number, standard output and error as bytes), as many times as its steps say. The card is
// the one scripts/wine-card-run started for the whole test program; the ctest entries give
// it its options (PIN on or off, pulled after N commands).
// CHV1 follows GSM 11.11: each wrong presentation counts down from three (9.2.9); DISABLE
// CHV with the right code turns it off, and no later command asks for it (9.2.10).
#include "base/HelperProgram.h"
#include "program/ProgramFile.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

namespace tarvik::cli {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TemporaryFolder;

std::wstring Wide(std::string_view utf8) {
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                          length);
    return wide;
}

// One argument as the C runtime splits a command line again: quoted when it holds a space,
// a tab or a quote, backslashes doubled only before a quote.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

// An inheritable handle of a new file, closed with its owner.
class InheritedFile {
public:
    explicit InheritedFile(const fs::path& path) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        handle_ = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~InheritedFile() { ::CloseHandle(handle_); }
    InheritedFile(const InheritedFile&) = delete;
    InheritedFile& operator=(const InheritedFile&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

class CliProgramTest : public ::testing::Test {
protected:
    // Runs tarvik-cli.exe (beside this test) with the arguments, given as UTF-8.
    ProgramRun Run(const std::vector<std::string>& args) {
        const fs::path program = RunningProgramFolder() / "tarvik-cli.exe";
        std::wstring line = Quoted(program.wstring());
        for (const std::string& arg : args) {
            line += L" " + Quoted(Wide(arg));
        }
        const fs::path outPath = folder.path() / "stdout.txt";
        const fs::path errPath = folder.path() / "stderr.txt";
        ProgramRun run;
        {
            const InheritedFile out(outPath);
            const InheritedFile err(errPath);
            STARTUPINFOW startup{};
            startup.cb = sizeof startup;
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
            startup.hStdOutput = out.get();
            startup.hStdError = err.get();
            PROCESS_INFORMATION process{};
            if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                  folder.path().c_str(), &startup, &process)) {
                ADD_FAILURE() << "cannot start " << program.string();
                return run;
            }
            ::WaitForSingleObject(process.hProcess, INFINITE);
            DWORD status = 0;
            ::GetExitCodeProcess(process.hProcess, &status);
            ::CloseHandle(process.hThread);
            ::CloseHandle(process.hProcess);
            run.status = static_cast<int>(status);
        }
        run.out = ReadAll(outPath.string());
        run.err = ReadAll(errPath.string());
        return run;
    }

    // A program file of the lines, scrambled as a save stores it.
    std::string WriteProgram(const std::string& name, const std::vector<std::string>& lines) {
        const std::string path = folder.file(name);
        testing::WriteAll(
            path, ScrambleText(BuildPlainDocument(2, std::vector<std::string>{}, lines)) + "\r\n");
        return path;
    }

    // The backup that a write or restore reported on standard error; empty when none.
    static std::string ReportedBackup(const std::string& err) {
        const std::string tag = "SIM backup: ";
        const auto start = err.find(tag);
        if (start == std::string::npos) {
            return {};
        }
        const auto end = err.find('\n', start);
        return err.substr(start + tag.size(), end - start - tag.size());
    }

    static std::vector<std::string> Lines(int count) {
        std::vector<std::string> lines;
        for (int i = 1; i <= count; ++i) {
            lines.push_back("E" + std::to_string(i) + "=" + std::to_string(1000 + i));
        }
        return lines;
    }

    TemporaryFolder folder;
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// One run of a sequence: its arguments, the exit status it must give and a text its
// standard error must hold (empty: anything).
struct Step {
    std::vector<std::string> args;
    int status;
    std::string errHolds;
};

TEST_F(CliProgramTest, ReadersListsTheTestReaderWithItsCard) {
    const ProgramRun run = Run({"readers"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Tarvik Test Reader 0: card\n");
}

// write-sim backs the card up under %APPDATA%\Tarvik before it writes; diff compares, and
// restore puts the card back as the backup holds it.
TEST_F(CliProgramTest, WriteDiffReadAndRestoreGoThroughTheCard) {
    const std::string first = WriteProgram("first.sim", {"TL1=0123", "TL2=456"});
    const std::string second = WriteProgram("second.sim", {"TL1=0999"});
    const std::string back = folder.file("back.sim");

    const ProgramRun writeFirst = Run({"write-sim", first});
    ASSERT_EQ(writeFirst.status, 0) << writeFirst.err;
    const char* appData = std::getenv("APPDATA");
    ASSERT_NE(appData, nullptr);
    const fs::path firstBackup = fs::u8path(ReportedBackup(writeFirst.err));
    EXPECT_EQ(firstBackup.parent_path(), fs::path(appData) / "Tarvik" / "backups")
        << writeFirst.err;
    EXPECT_TRUE(fs::is_regular_file(firstBackup));

    const std::vector<Step> steps = {
        {{"diff", first}, 0, "already holds"},
        {{"diff", second}, 1, ""},
        {{"read-sim", back}, 0, ""},
        {{"write-sim", second}, 0, "SIM backup: "},
        {{"diff", first}, 1, ""},
    };
    std::string secondBackup;
    for (const Step& step : steps) {
        const ProgramRun run = Run(step.args);
        EXPECT_EQ(run.status, step.status) << step.args[0] << ": " << run.err;
        EXPECT_TRUE(Contains(run.err, step.errHolds)) << step.args[0] << ": " << run.err;
        if (step.args[0] == "write-sim") {
            secondBackup = ReportedBackup(run.err);
        }
    }
    const auto read = ParsePlainDocument(UnscrambleText(ReadAll(back)));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->program, (std::vector<std::string>{"TL1=0123", "TL2=456"}));

    // The backup taken before the second write holds the first program.
    const ProgramRun restore = Run({"restore", secondBackup});
    EXPECT_EQ(restore.status, 0) << restore.err;
    EXPECT_EQ(Run({"diff", first}).status, 0);
    for (const std::string& made :
         {firstBackup.string(), secondBackup, ReportedBackup(restore.err)}) {
        fs::remove(fs::u8path(made));
    }
}

// Arguments come as UTF-16 and file names keep their characters; a program file written to
// standard output keeps its bytes (CR LF stays CR LF).
TEST_F(CliProgramTest, WideArgumentsAndBinaryOutputKeepEveryCharacter) {
    const std::string named = folder.file("caff\xC3\xA8-\xE2\x82\xAC.sim"); // caffè-€.sim
    ASSERT_EQ(Run({"new", named, "--model", "2"}).status, 0);
    const ProgramRun edit = Run({"edit", named, "EDTl1=0039123"});
    EXPECT_EQ(edit.status, 0) << edit.err;
    EXPECT_TRUE(fs::is_regular_file(fs::u8path(named)));
    const ProgramRun write = Run({"write-sim", named, "--no-backup"});
    EXPECT_EQ(write.status, 0) << write.err;

    const std::string read = folder.file("read.sim");
    ASSERT_EQ(Run({"read-sim", read}).status, 0);
    const ProgramRun piped = Run({"read-sim", "-"});
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, ReadAll(read));
    EXPECT_TRUE(Contains(piped.out, "\r\n"));
    EXPECT_FALSE(Contains(piped.out, "\r\r\n"));
}

// The card's PIN: none given, a wrong one, the right one, in this order on one card whose
// CHV1 is on with the code 1234.
TEST_F(CliProgramTest, PinNoneWrongAndRightGiveTheirStatuses) {
    const std::string program = WriteProgram("p.sim", {"TL1=1"});
    const std::string read = folder.file("read.sim");
    const std::vector<Step> steps = {
        {{"read-sim", read}, 4, "give it with --pin PIN"},
        {{"write-sim", program}, 4, "give it with --pin PIN"},
        {{"write-sim", program, "--pin", "0000"}, 4, "Wrong PIN! - PIN count is now 2"},
        {{"write-sim", program, "--pin", "1234"}, 0, ""},
        // Disabled by the right code: no PIN asked any more.
        {{"read-sim", read}, 0, ""},
    };
    for (const Step& step : steps) {
        const ProgramRun run = Run(step.args);
        EXPECT_EQ(run.status, step.status) << step.args.back() << ": " << run.err;
        EXPECT_TRUE(Contains(run.err, step.errHolds)) << step.args.back() << ": " << run.err;
    }
    const auto document = ParsePlainDocument(UnscrambleText(ReadAll(read)));
    ASSERT_TRUE(document);
    EXPECT_EQ(document->program, std::vector<std::string>{"TL1=1"});
}

// The card leaves the reader in the middle of the write (the virtual card drops its link
// after the commands its ctest entry gives: past the backup's reads, some updates in). The
// write fails as a write, the backup taken before it stays whole, and the reader then holds
// no card.
TEST_F(CliProgramTest, CardPulledMidWriteFailsTheWriteAndKeepsTheBackup) {
    const std::string program = WriteProgram("many.sim", Lines(40));
    const ProgramRun write = Run({"write-sim", program});
    EXPECT_EQ(write.status, 5) << write.err;
    EXPECT_TRUE(Contains(write.err, "Write Error")) << write.err;
    const std::string backup = ReportedBackup(write.err);
    ASSERT_FALSE(backup.empty()) << write.err;
    const std::string saved = ReadAll(backup);
    EXPECT_TRUE(saved.starts_with("tarvik-sim-backup 1\n")) << saved.substr(0, 40);
    EXPECT_TRUE(Contains(saved, "\ncrc32 ")) << "the backup is cut short";
    fs::remove(fs::u8path(backup));

    const ProgramRun readers = Run({"readers"});
    EXPECT_EQ(readers.status, 0) << readers.err;
    EXPECT_EQ(readers.out, "Tarvik Test Reader 0: no card\n");
}

} // namespace
} // namespace tarvik::cli
