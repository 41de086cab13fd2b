#include "folios_runner.h"

#include <sys/wait.h>

#include <cstdlib>

#include "test_support.h"

namespace folios::test {

namespace {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace

RunResult RunFolios(const std::vector<std::string>& args, const std::string& work_dir,
                    const std::string* input) {
  TempDir capture;
  std::string command = "cd " + Quote(work_dir) + " && " + Quote(FOLIOS_EXECUTABLE);
  for (const std::string& arg : args) command += " " + Quote(arg);
  std::string in_path = "/dev/null";
  if (input) {
    in_path = capture.File("in");
    WriteFile(in_path, *input);
  }
  command += " <" + Quote(in_path) + " >" + Quote(capture.File("out")) + " 2>" +
             Quote(capture.File("err"));
  int status = std::system(command.c_str());
  RunResult result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFile(capture.File("out"));
  result.err = ReadFile(capture.File("err"));
  return result;
}

}  // namespace folios::test
