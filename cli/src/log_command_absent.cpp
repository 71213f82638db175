// The web module keeps no files, so it has no `log` subcommand.
#include "command_line.h"

namespace moravik::cli {

void addLogCommands(CommandLine&) {}

}  // namespace moravik::cli
