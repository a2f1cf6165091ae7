// @brief zvv: searches an application's help through the help search component.
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/failure.h"
#include "cli/interrupt.h"
#include "cli/options.h"
#include "cli/serve/serve_command.h"
#include "cli/standard_output.h"

namespace {

int Run(const zvv::Options& options) {
  switch (options.m_command) {
    case zvv::Command::kHelp:
      std::cout << zvv::UsageText();
      return zvv::kExitOk;
    case zvv::Command::kVersion:
      return zvv::RunVersion();
    case zvv::Command::kIndex:
      return zvv::RunIndex(options);
    case zvv::Command::kStatus:
      return zvv::RunStatus(options);
    case zvv::Command::kWatch:
      return zvv::RunWatch(options);
    case zvv::Command::kServe:
      return zvv::RunServe(options);
    case zvv::Command::kRegister:
    case zvv::Command::kUnregister:
      return zvv::RunRegistration(options.m_command);
    case zvv::Command::kSearch:
      break;
  }
  return zvv::RunSearch(options);
}

}  // namespace

int main(int argc, char** argv) {
  zvv::EndOnInterrupt();
  const std::vector<std::string> args(argv + 1, argv + argc);
  const zvv::ParsedCommandLine parsed = zvv::ParseCommandLine(args);
  if (!parsed.m_options) {
    std::cerr << "zvv: " << parsed.m_error << '\n'
              << zvv::SynopsisText() << "Run 'zvv --help' for the options.\n";
    return zvv::kExitUsage;
  }
  const int code = Run(*parsed.m_options);
  // Every command's output is checked: an answer cut short is a failure.
  if (!zvv::StandardOutputWritten()) return zvv::kExitFailure;
  return code;
}
