// The simcard program as a process: its exit statuses and its care for the image file.

#include "testing/TemporaryFolder.h"
#include "testing/WaitUntil.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/fixture/ChildProcess.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace simcard {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class ProgramTest : public ::testing::Test {
protected:
    ChildProcess start(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), SIMCARD_PROGRAM);
        return ChildProcess(arguments, folder / "output", ChildProcess::Lifetime::DiesWithParent);
    }
    int runToEnd(std::vector<std::string> arguments) {
        auto process = start(std::move(arguments));
        tarvik::testing::WaitUntil([&] { return !process.running(); });
        return process.exitStatus().value_or(-100);
    }
    std::string output() const {
        std::ifstream in(folder / "output");
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    tarvik::testing::TemporaryFolder temporary;
    const fs::path folder = temporary.path();
};

TEST_F(ProgramTest, HelpAndBadArguments) {
    EXPECT_EQ(runToEnd({"--help"}), 0);
    EXPECT_NE(output().find("--short-answer"), std::string::npos);
    EXPECT_EQ(runToEnd({"--adn-length", "3"}), 2);
    EXPECT_NE(output().find("--adn-length"), std::string::npos);
}

TEST_F(ProgramTest, MalformedImageIsRefusedAndKept) {
    const auto image = folder / "card.img";
    std::ofstream(image) << "simcard-image 1\nchv 1 zz\n";
    EXPECT_EQ(runToEnd({"--image", image.string(), "--port", "1"}), 1);
    EXPECT_NE(output().find("line 2"), std::string::npos);
    std::ifstream in(image);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "simcard-image 1");
}

TEST_F(ProgramTest, CreatesTheImageAndEndsCleanlyOnSigterm) {
    const auto image = folder / "card.img";
    // Nothing listens on port 1: the card keeps retrying until told to stop.
    auto process = start({"--image", image.string(), "--port", "1", "--adn-records", "12"});
    ASSERT_TRUE(tarvik::testing::WaitUntil([&] { return fs::exists(image); }));
    EXPECT_EQ(CardImage::load(image).records({DfTelecom, EfAdn}).size(), 12u);
    ::kill(process.pid(), SIGTERM);
    tarvik::testing::WaitUntil([&] { return !process.running(); });
    EXPECT_EQ(process.exitStatus(), 0);
}

} // namespace
} // namespace simcard
