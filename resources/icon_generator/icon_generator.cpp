// Writes the program's icon as raw resource files for the resource script:
//
//   icon_generator <output-dir>
//
// The files in resources/icons are this program's output, committed so that the Windows build
// needs no host tool; a test regenerates them and compares every byte.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <ios>

#include "icon_art.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: icon_generator <output-dir>\n");
    return 2;
  }
  try {
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);
    for (const auto& file : varnok::icons::build_output_files()) {
      const std::filesystem::path path = directory / file.name;
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
      out.close();
      if (!out) {
        std::fprintf(stderr, "icon_generator: cannot write %s\n", path.string().c_str());
        return 1;
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "icon_generator: %s\n", e.what());
    return 1;
  }
  return 0;
}
