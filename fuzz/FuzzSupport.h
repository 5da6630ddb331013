// What the fuzz targets share: stopping on a broken property, and a scratch folder for files.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A property that does not hold: say which and abort, so that libFuzzer keeps the input as a
// crash and the run fails.
[[noreturn]] inline void propertyFailed(const std::string& what) {
  std::fprintf(stderr, "\n*** Property failed: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

// A fresh folder of this process under $TMPDIR (or /tmp), removed when the process exits.
inline const std::string& scratchFolder() {
  struct Folder {
    std::string path;
    Folder() {
      std::string pattern = (std::filesystem::temp_directory_path() / "lad_fuzz_XXXXXX").string();
      if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
      }
      path = pattern;
    }
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static const Folder folder;
  return folder.path;
}

inline std::string readBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeBytes(const std::string& file, const std::string& content) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out.flush()) propertyFailed("cannot write the scratch file " + file);
}
