// stack-user: a program that uses the card stack the way a benchmark or a launcher does, and
// ends the way it is told, for the tests of what a program leaves behind.
//   stack-user card|session return|exit|throw|wait
// It takes a VirtualCard (or a bare StackSession), prints "ready" and waits until its standard
// input ends; then it returns from main, calls exit(3) as an error path would, lets an
// exception escape, or waits for a signal.

#include "tools/simcard/fixture/StackSession.h"
#include "tools/simcard/fixture/VirtualCard.h"

#include <cstdlib>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const std::string_view user = argv[1], ending = argv[2];
    std::unique_ptr<simcard::VirtualCard> card;
    std::unique_ptr<simcard::StackSession> session;
    if (user == "card")
        card = std::make_unique<simcard::VirtualCard>();
    else
        session = std::make_unique<simcard::StackSession>();
    std::cout << "ready" << std::endl;
    for (char c; std::cin.get(c);) {
    }
    if (ending == "exit")
        std::exit(3);
    if (ending == "throw")
        throw std::runtime_error("an error nobody catches");
    if (ending == "wait")
        for (;;)
            ::pause();
    return 0;
}
