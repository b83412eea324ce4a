#pragma once

#include "modem/SerialPort.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <map>
#include <random>
#include <string>
#include <thread>

namespace tarvik::modem {

// How the port hands over what the modem sent. A USB serial port may split the bytes
// anywhere, and every answer must read the same whatever the split.
enum class Delivery {
    Whole,      // everything that came, in one read
    ByteByByte, // one byte a read
    Random,     // pieces of 1 to 7 bytes, from a generator seeded per test: the same each run
};

// A modem that answers each write it knows with fixed bytes and keeps silent otherwise.
class FakePort final : public SerialPort {
public:
    explicit FakePort(Delivery delivery = Delivery::Whole) : delivery_(delivery) {}

    std::map<std::string, std::string> answers;
    // Answers given once each, in turn, before those of `answers`.
    std::map<std::string, std::deque<std::string>> firstAnswers;
    std::string written;
    std::string incoming;
    bool hungUp = false;
    // Sizes of the next reads, before the delivery takes over.
    std::deque<std::size_t> pieces;

    bool write(std::string_view bytes) override {
        written += bytes;
        if (auto first = firstAnswers.find(std::string(bytes));
            first != firstAnswers.end() && !first->second.empty()) {
            incoming += first->second.front();
            first->second.pop_front();
        } else if (const auto it = answers.find(std::string(bytes)); it != answers.end()) {
            incoming += it->second;
        }
        return true;
    }
    Status read(std::string& into, std::chrono::milliseconds timeout) override {
        if (hungUp) {
            return Status::Failed;
        }
        if (incoming.empty()) {
            std::this_thread::sleep_for(std::min(timeout, std::chrono::milliseconds(1)));
            return Status::Timeout;
        }
        const std::size_t size = std::min(incoming.size(), nextPiece());
        into += incoming.substr(0, size);
        incoming.erase(0, size);
        return Status::Data;
    }
    std::string error() const override { return "/dev/ttyFAKE: the modem hung up"; }

private:
    std::size_t nextPiece() {
        if (!pieces.empty()) {
            const std::size_t size = pieces.front();
            pieces.pop_front();
            return size;
        }
        switch (delivery_) {
        case Delivery::Whole:
            return incoming.size();
        case Delivery::ByteByByte:
            return 1;
        case Delivery::Random:
            return 1 + random_() % 7;
        }
        return 1;
    }

    Delivery delivery_;
    std::minstd_rand random_{34};
};

} // namespace tarvik::modem
