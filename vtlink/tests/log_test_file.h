#pragma once
// Reading back the log files the tests write, and a temporary folder per test.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vtlink::test {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vtlink-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
      path_ = pattern;
    }
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The file's lines without their CR LF. Every line must end in CR LF, and a bare LF or CR or an
// empty line is a fault of the file.
inline std::vector<std::string> readLogLines(const std::string& path) {
  const std::string text = readFile(path);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "last line has no CR LF: " << text.substr(start);
      break;
    }
    std::string line = text.substr(start, end - start);
    EXPECT_FALSE(line.empty()) << "empty line after " << lines.size() << " lines";
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line break: " << line;
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

// The messages of the lines, without the "hh:mm:ss Ln: " stamp and tag.
inline std::vector<std::string> logBodies(const std::vector<std::string>& lines) {
  std::vector<std::string> bodies;
  for (const auto& line : lines) {
    bodies.push_back(line.size() > 13 ? line.substr(13) : std::string());
  }
  return bodies;
}

}  // namespace vtlink::test
