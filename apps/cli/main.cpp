#include <cstddef>

#include "moravik/cli/app.h"

int main(int argc, char** argv) {
    return moravik::cli::runCalcOnStandardStreams({argv, static_cast<std::size_t>(argc)});
}
