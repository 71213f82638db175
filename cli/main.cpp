#include <moravik/cli/app.h>

#include <cstddef>

int main(int argc, char** argv) {
    return moravik::cli::runCalcOnStandardStreams({argv, static_cast<std::size_t>(argc)});
}
