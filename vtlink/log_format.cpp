// The log's own printf: the layers' formats use "%Lp" for addresses, which the C library does
// not know, so every conversion is parsed here and only the plain ones are handed to snprintf.

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "vtlink/log_recorder.h"

namespace vtlink {
namespace {

struct Conversion {
  std::string flags;
  int width = -1;      // -1: none
  int precision = -1;  // -1: none
  std::string length;  // "", "hh", "h", "l", "ll", "L", "z", "j", "t"
  char type = 0;
};

// One cFormat of the C library, with width and precision already resolved to numbers.
template <typename T>
void appendPlain(std::string& out, const Conversion& c, T value) {
  std::string cFormat = "%" + c.flags;
  if (c.width >= 0) {
    cFormat += std::to_string(c.width);
  }
  if (c.precision >= 0) {
    cFormat += "." + std::to_string(c.precision);
  }
  cFormat += c.length;
  cFormat += c.type;
  char small[128];
  int n = std::snprintf(small, sizeof small, cFormat.c_str(), value);
  if (n < 0) {
    return;
  }
  if (static_cast<std::size_t>(n) < sizeof small) {
    out.append(small, static_cast<std::size_t>(n));
    return;
  }
  std::string big(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), cFormat.c_str(), value);
  out.append(big.data(), static_cast<std::size_t>(n));
}

// An address as the log shows it: upper-case hex, as many digits as an address has.
void appendAddress(std::string& out, const void* address) {
  static const char kDigits[] = "0123456789ABCDEF";
  auto value = reinterpret_cast<std::uintptr_t>(address);
  const int digits = static_cast<int>(sizeof(void*) * 2);
  for (int i = digits - 1; i >= 0; --i) {
    out += kDigits[(value >> (i * 4)) & 0xF];
  }
}

void appendSigned(std::string& out, Conversion c, va_list& args) {
  if (c.length == "l") {
    appendPlain(out, c, va_arg(args, long));
  } else if (c.length == "ll") {
    appendPlain(out, c, va_arg(args, long long));
  } else if (c.length == "z" || c.length == "t") {
    c.length = "ll";
    appendPlain(out, c, static_cast<long long>(va_arg(args, std::ptrdiff_t)));
  } else if (c.length == "j") {
    appendPlain(out, c, va_arg(args, std::intmax_t));
  } else {
    // hh and h arguments arrive promoted to int; snprintf narrows them itself.
    appendPlain(out, c, va_arg(args, int));
  }
}

void appendUnsigned(std::string& out, Conversion c, va_list& args) {
  if (c.length == "l") {
    appendPlain(out, c, va_arg(args, unsigned long));
  } else if (c.length == "ll") {
    appendPlain(out, c, va_arg(args, unsigned long long));
  } else if (c.length == "z" || c.length == "t") {
    c.length = "ll";
    appendPlain(out, c, static_cast<unsigned long long>(va_arg(args, std::size_t)));
  } else if (c.length == "j") {
    appendPlain(out, c, va_arg(args, std::uintmax_t));
  } else {
    appendPlain(out, c, va_arg(args, unsigned int));
  }
}

// Reads flags, width, precision and length behind the '%'; `*` values come from the arguments.
const char* parseConversion(const char* p, Conversion& c, va_list& args) {
  while (*p != '\0' && std::strchr("-+ #0", *p) != nullptr) {
    c.flags += *p++;
  }
  if (*p == '*') {
    int w = va_arg(args, int);
    if (w < 0) {
      c.flags += '-';
      w = -w;
    }
    c.width = w;
    ++p;
  } else if (*p >= '0' && *p <= '9') {
    c.width = 0;
    while (*p >= '0' && *p <= '9') {
      c.width = c.width * 10 + (*p++ - '0');
    }
  }
  if (*p == '.') {
    ++p;
    if (*p == '*') {
      int precision = va_arg(args, int);
      c.precision = precision < 0 ? -1 : precision;
      ++p;
    } else {
      c.precision = 0;
      while (*p >= '0' && *p <= '9') {
        c.precision = c.precision * 10 + (*p++ - '0');
      }
    }
  }
  if ((p[0] == 'h' && p[1] == 'h') || (p[0] == 'l' && p[1] == 'l')) {
    c.length.assign(p, 2);
    p += 2;
  } else if (*p != '\0' && std::strchr("hlLzjt", *p) != nullptr) {
    c.length = *p++;
  }
  c.type = *p;
  return *p == '\0' ? p : p + 1;
}

}  // namespace

std::string formatMessage(const char* format, va_list args) {
  std::string out;
  if (format == nullptr) {
    return out;
  }
  va_list ap;
  va_copy(ap, args);
  const char* p = format;
  while (*p != '\0') {
    if (*p != '%') {
      out += *p++;
      continue;
    }
    const char* start = p++;
    if (*p == '%') {
      out += '%';
      ++p;
      continue;
    }
    Conversion c;
    p = parseConversion(p, c, ap);
    switch (c.type) {
      case 'd':
      case 'i':
        appendSigned(out, c, ap);
        break;
      case 'u':
      case 'x':
      case 'X':
      case 'o':
        appendUnsigned(out, c, ap);
        break;
      case 'c':
        c.length.clear();
        appendPlain(out, c, va_arg(ap, int));
        break;
      case 's': {
        const char* text = va_arg(ap, const char*);
        c.length.clear();
        appendPlain(out, c, text != nullptr ? text : "(null)");
        break;
      }
      case 'p':
        if (c.length == "L") {
          appendAddress(out, va_arg(ap, const void*));
        } else {
          c.length.clear();
          appendPlain(out, c, va_arg(ap, const void*));
        }
        break;
      case 'e':
      case 'E':
      case 'f':
      case 'F':
      case 'g':
      case 'G':
      case 'a':
      case 'A':
        if (c.length == "L") {
          appendPlain(out, c, va_arg(ap, long double));
        } else {
          c.length.clear();
          appendPlain(out, c, va_arg(ap, double));
        }
        break;
      case 'n':
        // Never write through an argument from a log call.
        (void)va_arg(ap, void*);
        break;
      default:
        // Unknown or cut-off conversion: shown as written, no argument taken.
        out.append(start, static_cast<std::size_t>(p - start));
        break;
    }
  }
  va_end(ap);
  return out;
}

std::string formatMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out = formatMessage(format, args);
  va_end(args);
  return out;
}

std::string dataDump(const std::uint8_t* data, std::size_t length) {
  static const char kDigits[] = "0123456789ABCDEF";
  constexpr std::size_t kDumpRoom = 90;
  std::string text;
  std::size_t i = 0;
  for (; data != nullptr && i < length && text.size() < kDumpRoom; ++i) {
    text += '[';
    text += kDigits[data[i] >> 4];
    text += kDigits[data[i] & 0xF];
    text += ']';
  }
  if (data != nullptr && i < length) {
    text += "...";
  }
  return text;
}

}  // namespace vtlink
