#include <moravik/cli/app.h>

#include <iostream>

int main(int argc, char** argv) {
    // --batch reads and writes large streams of text; the C streams are unused.
    std::ios::sync_with_stdio(false);
    std::cin.tie(nullptr);
    return moravik::cli::runCalc({argv, static_cast<std::size_t>(argc)}, std::cin, std::cout,
                                 std::cerr);
}
