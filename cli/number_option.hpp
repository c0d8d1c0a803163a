// An option whose value is kept as typed ("NUMBER" in the help): the command
// reads it later with the commands' number grammar, so that a refusal can
// quote the text the user gave.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

namespace triex::cli {

inline CLI::Option* add_number_option(CLI::App& command, const std::string& name, std::optional<std::string>& value,
                                      const std::string& help) {
  return command.add_option_function<std::string>(name, [&value](const std::string& v) { value = v; }, help)
      ->type_name("NUMBER");
}

}  // namespace triex::cli
