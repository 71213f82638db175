// moravik-calc built without Qt: no `log` subcommand.
#include "command_line.h"

namespace moravik::cli {

void addLogCommands(CommandLine&) {}

}  // namespace moravik::cli
