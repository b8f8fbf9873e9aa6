#pragma once
// The library's diagnostic log: one text file per open link, CR LF line ends, lines cut at 80
// characters, rewound behind its header after a set number of lines.

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace vtlink {

// Line length before the CR LF, stamp and level tag included.
inline constexpr std::size_t kLogLineLength = 80;
inline constexpr int kLogMinRewindLimit = 20;

class LogRecorder {
 public:
  LogRecorder() = default;
  ~LogRecorder();
  LogRecorder(const LogRecorder&) = delete;
  LogRecorder& operator=(const LogRecorder&) = delete;

  // A null or empty path, or level 0, turns logging off and succeeds.
  bool open(const char* path, int level, int rewindLimit, const char* title);
  // Formats with the library's own conventions (%Lp, %#X, the version form); see formatMessage.
  void write(int level, const char* format, ...);
  void vwrite(int level, const char* format, va_list args);
  void close();

  bool isOpen() const { return file_ != nullptr; }
  int level() const { return level_; }

 private:
  // Counts the line, rewinds when the count reaches the limit, then writes it.
  void writeLine(int level, const std::string& message);
  void rewind();
  void emit(int level, const std::string& message);

  std::FILE* file_ = nullptr;
  int level_ = 0;
  int rewindLimit_ = 0;
  int lineCount_ = 0;
  int rewindCount_ = 0;
  long rewindPosition_ = 0;
};

// printf-style formatting with the log's conventions: "%Lp" prints an address as upper-case hex
// digits, as many as an address has; "%#X" prints "0X" and upper-case hex digits (0 as 0).
std::string formatMessage(const char* format, va_list args);
std::string formatMessage(const char* format, ...);
// A literal 0 or nullptr argument would otherwise pick the va_list overload and crash; pass a
// typed value (an int variable, a cast pointer) instead.
std::string formatMessage(const char* format, std::nullptr_t) = delete;

// "[21][A0]..." as the Tx Data / Rx Data lines show payloads.
std::string dataDump(const std::uint8_t* data, std::size_t length);

// The process-wide recorder every layer writes to.
LogRecorder& log();

}  // namespace vtlink
