// getline_copy OUT FILE...: reads every file line by line and writes the
// lines to OUT. The floor a line-by-line document writer is measured against.
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: getline_copy OUT FILE...\n";
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  std::string line;
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    while (std::getline(in, line)) {
      out << line << '\n';
    }
  }
  return out ? 0 : 1;
}
