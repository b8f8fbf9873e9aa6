// Received bytes and typed data texts come from outside: no stream may crash the assembler or
// the decoder, and every line handed over must be within the limit and free of the characters
// the assembler removes.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shared/ascii_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::size_t limit = (data[0] & 1) != 0 ? shared::ResponseAssembler::kMsgCenterLineLimit
                                               : shared::ResponseAssembler::kMsgManagerLineLimit;
  shared::ResponseAssembler* assembler = nullptr;
  shared::ResponseAssembler lines(
      limit,
      [&](const shared::ResponseLine& line) {
        if (line.text.size() > limit || line.text.find_first_of("\r\n*") != std::string::npos) {
          __builtin_trap();
        }
        if (line.text.size() % 7 == 3) {
          assembler->Reset();  // handlers may reset the assembler while it hands a line over
        }
      },
      [&] { assembler->setAwaitingPrompt(false); });
  assembler = &lines;
  for (std::size_t i = 1; i < size; ++i) {
    if (data[i] == 0x12) {
      lines.setAwaitingPrompt(true);
    }
    lines.Feed(data[i]);
  }
  shared::decodeDataText(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
