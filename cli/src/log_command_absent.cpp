// moravik-calc built without Qt: no `log` subcommand.
#include "log_command.h"

namespace moravik::cli {

struct LogCommand::Parsers {};

LogCommand::LogCommand(CLI::App&) {}
LogCommand::~LogCommand() = default;

std::optional<int> LogCommand::run(std::ostream&, std::ostream&) const { return std::nullopt; }

}  // namespace moravik::cli
