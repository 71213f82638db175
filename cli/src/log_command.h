// moravik-calc log: the run log of Race Day, read-only, for scripts and
// backups. Built with Qt (Core and SQL) only; without Qt the program has no
// `log` and this registers nothing (log_command_absent.cpp).
#pragma once

#include <CLI/CLI.hpp>
#include <iosfwd>
#include <memory>
#include <optional>

namespace moravik::cli {

class LogCommand {
public:
    // Adds `log runs` and `log predict` to the program's parser.
    explicit LogCommand(CLI::App& app);
    ~LogCommand();

    // After parsing: the exit status of `log`, or nothing when it was not given.
    std::optional<int> run(std::ostream& out, std::ostream& err) const;

private:
    struct Parsers;
    std::unique_ptr<Parsers> parsers_;
};

}  // namespace moravik::cli
