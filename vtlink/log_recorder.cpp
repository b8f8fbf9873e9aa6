#include "vtlink/log_recorder.h"

#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <string>

namespace vtlink {
namespace {

int boundLevel(int level) {
  if (level < 1) {
    return 1;
  }
  return level > 4 ? 4 : level;
}

std::tm localNow() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return local;
}

// hh:mm:ss, as the C time string shows it.
std::string timeStamp(const std::tm& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
  return text;
}

// "Thu Aug 19 2004": the first eleven characters of the C time string, then the year. The
// names are spelt out here because the programs may switch the process to the user's locale.
std::string headerDate(const std::tm& t) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char text[32];
  std::snprintf(text, sizeof text, "%s %s %2d %04d", kDays[t.tm_wday % 7], kMonths[t.tm_mon % 12],
                t.tm_mday, t.tm_year + 1900);
  return text;
}

// One message is one line of the file: a line feed that ends the message is the line's own,
// any other line break (adapter text, for one) would split it and upset the line count.
std::string singleLine(std::string message) {
  if (!message.empty() && message.back() == '\n') {
    message.pop_back();
  }
  for (char& c : message) {
    if (c == '\n' || c == '\r') {
      c = ' ';
    }
  }
  return message;
}

}  // namespace

LogRecorder::~LogRecorder() {
  close();
}

bool LogRecorder::open(const char* path, int level, int rewindLimit, const char* title) {
  if (path == nullptr || path[0] == '\0' || level == 0) {
    return true;
  }
  if (file_ != nullptr) {
    write(2, "Log Recorder: NOTICE - Log File Already Open.");
    return true;
  }
  // Binary mode: the CR LF line ends are written explicitly.
  file_ = std::fopen(path, "wb");
  if (file_ == nullptr) {
    return false;
  }
  level_ = boundLevel(level);
  rewindLimit_ = rewindLimit < kLogMinRewindLimit ? kLogMinRewindLimit : rewindLimit;
  lineCount_ = 0;
  rewindCount_ = 0;
  rewindPosition_ = 0;

  const std::tm now = localNow();
  writeLine(1, formatMessage("%s %s.", title != nullptr ? title : "", headerDate(now).c_str()));
  writeLine(1, formatMessage("Logging Level = %d.", level_));
  writeLine(1, formatMessage("Rewind Log File at %d Lines.", rewindLimit_));
  writeLine(1, "----- START OF LOG -----.");
  rewindPosition_ = std::ftell(file_);
  return true;
}

void LogRecorder::write(int level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vwrite(level, format, args);
  va_end(args);
}

void LogRecorder::vwrite(int level, const char* format, va_list args) {
  level = boundLevel(level);
  if (file_ == nullptr || level > level_) {
    return;
  }
  writeLine(level, formatMessage(format, args));
}

void LogRecorder::close() {
  if (file_ == nullptr) {
    return;
  }
  write(1, "----- END OF LOG -----.");
  std::fclose(file_);
  file_ = nullptr;
}

void LogRecorder::writeLine(int level, const std::string& message) {
  ++lineCount_;
  if (lineCount_ >= rewindLimit_) {
    rewind();
  }
  emit(level, message);
}

// Back to just behind the header; what the previous pass left behind the current offset is cut
// first, so the file never holds more than two passes.
void LogRecorder::rewind() {
  std::fflush(file_);
  long end = std::ftell(file_);
  if (end >= 0) {
    (void)::ftruncate(::fileno(file_), end);
  }
  std::fseek(file_, rewindPosition_, SEEK_SET);
  lineCount_ = 0;
  ++rewindCount_;
  writeLine(1, formatMessage("Log File rewind count = %d.", rewindCount_));
}

void LogRecorder::emit(int level, const std::string& message) {
  std::string line = timeStamp(localNow());
  line += " L";
  line += static_cast<char>('0' + level);
  line += ": ";
  line += singleLine(message);
  if (line.size() > kLogLineLength) {
    line.resize(kLogLineLength);
  }
  line += "\r\n";
  // One write per line and nothing kept back, so the file is current whenever it is viewed.
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

LogRecorder& log() {
  static LogRecorder recorder;
  return recorder;
}

}  // namespace vtlink
