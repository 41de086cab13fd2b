// Runs the folios executable as a user would, capturing its output.
#pragma once

#include <string>
#include <vector>

namespace folios::test {

struct RunResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// Runs folios with `args` in `work_dir`, with standard input from /dev/null
// (or from `input` when given). The environment is inherited, so tests set
// FOLIOS_CONFIG_DIR first (ScopedSettings).
RunResult RunFolios(const std::vector<std::string>& args, const std::string& work_dir,
                    const std::string* input = nullptr);

}  // namespace folios::test
