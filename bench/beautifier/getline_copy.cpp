// Copies every FILE to FILE.copy line by line with getline: the cheapest
// line-oriented rewrite, against which the beautifier's throughput is judged.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  std::string line;
  std::vector<char> in_buffer(1 << 16);
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    std::ifstream in;
    in.rdbuf()->pubsetbuf(in_buffer.data(), static_cast<std::streamsize>(in_buffer.size()));
    in.open(argv[i], std::ios::binary);
    std::ofstream out(std::string(argv[i]) + ".copy", std::ios::binary);
    if (!in || !out) {
      std::cerr << "cannot copy " << argv[i] << '\n';
      status = 1;
      continue;
    }
    while (std::getline(in, line)) {
      out.write(line.data(), static_cast<std::streamsize>(line.size()));
      out.put('\n');
    }
  }
  return status;
}
