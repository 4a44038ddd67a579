// Every command's --help reads like a manual page: what it does, what its exit status means,
// and examples of the command itself.
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "host/cli/commands.h"

namespace korvel::host {
namespace {

// The program's commands, as main() adds them; the window is never opened here.
struct Program {
  CLI::App app{"korvel-widgets test", "korvel-widgets"};
  int exitCode = 0;

  Program() {
    app.footer(programManual());
    addCheckCommand(app, exitCode);
    addTimelineCommand(app, exitCode);
    addRenderCommand(app, exitCode);
    addCatalogCommand(app, exitCode);
    addGalleryCommand(app, exitCode);
    addPlayCommand(app, exitCode);
    addDesktopCommand(app, exitCode, [](const DesktopRequest&) { return 0; });
  }

  std::string help(const std::string& command) {
    return command.empty() ? app.help() : app.get_subcommand(command)->help();
  }
};

// The lines of `text` from the heading `name` up to the next heading (a line in capitals).
std::vector<std::string> section(const std::string& text, const std::string& name) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    const bool heading = !line.empty() && line[0] >= 'A' && line[0] <= 'Z' &&
                         line.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos;
    if (heading) {
      inside = line == name;
    } else if (inside && !line.empty()) {
      lines.push_back(line);
    }
  }
  return lines;
}

class HelpManualTest : public ::testing::TestWithParam<std::string> {};

TEST_P(HelpManualTest, HasDescriptionExitStatusAndExamplesInThatOrder) {
  Program program;
  const std::string help = program.help(GetParam());
  const auto description = help.find("\nDESCRIPTION\n");
  const auto exitStatus = help.find("\nEXIT STATUS\n");
  const auto examples = help.find("\nEXAMPLES\n");
  ASSERT_NE(description, std::string::npos) << help;
  ASSERT_NE(exitStatus, std::string::npos) << help;
  ASSERT_NE(examples, std::string::npos) << help;
  EXPECT_LT(description, exitStatus);
  EXPECT_LT(exitStatus, examples);
  EXPECT_GE(section(help, "DESCRIPTION").size(), 2u);
}

TEST_P(HelpManualTest, ExitStatusExplainsZeroOneAndTwo) {
  Program program;
  std::vector<std::string> codes;
  for (const std::string& line : section(program.help(GetParam()), "EXIT STATUS")) {
    // "  0  text": a code is a digit after two spaces; continuation lines are indented further.
    if (line.size() > 4 && line.compare(0, 2, "  ") == 0 && std::isdigit(static_cast<unsigned char>(line[2])) &&
        line.compare(3, 2, "  ") == 0) {
      codes.push_back(line.substr(2, 1));
    }
  }
  EXPECT_EQ(codes, (std::vector<std::string>{"0", "1", "2"}));
}

TEST_P(HelpManualTest, EveryExampleRunsTheCommandItDescribes) {
  Program program;
  const std::string command = GetParam();
  const std::string invocation = "korvel-widgets " + command;
  int runs = 0;
  for (const std::string& line : section(program.help(command), "EXAMPLES")) {
    const auto at = line.find("korvel-widgets ");
    if (at == std::string::npos) continue;
    ++runs;
    // The program's own examples may run any command; a command's show itself.
    if (!command.empty()) {
      EXPECT_EQ(line.compare(at, invocation.size(), invocation), 0) << line;
    }
  }
  EXPECT_GE(runs, 1);
}

INSTANTIATE_TEST_SUITE_P(Commands, HelpManualTest,
                         ::testing::Values("", "check", "timeline", "render", "catalog",
                                           "gallery", "play", "desktop"),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                           return param.param.empty() ? std::string("program") : param.param;
                         });

}  // namespace
}  // namespace korvel::host
