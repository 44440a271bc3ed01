// Writes a generated interchange file to standard output, for whole-program
// timings:  k726_generate ENTITIES [SEED]   or   k726_generate --empty-texts N
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/interchange_generator.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: k726_generate ENTITIES [SEED] | --empty-texts N\n", stderr);
    return 2;
  }
  GeneratedFile file;
  if (std::strcmp(argv[1], "--empty-texts") == 0 && argc >= 3) {
    file = GenerateEmptyTexts(std::atoll(argv[2]), 1);
  } else {
    GeneratorOptions options;
    options.Entities = std::atoll(argv[1]);
    if (argc >= 3) options.Seed = static_cast<std::uint32_t>(std::atoll(argv[2]));
    file = GenerateInterchangeFile(options);
  }
  std::fwrite(file.Bytes.data(), 1, file.Bytes.size(), stdout);
  return 0;
}
