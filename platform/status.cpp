#include "platform/status.h"

#include <cerrno>
#include <cstring>

namespace platform {

Status Status::fromErrno(std::string operation) {
  // errno must be read before anything else can overwrite it.
  const int error = errno;
  return failure(error != 0 ? error : EIO, std::move(operation));
}

std::string Status::text() const {
  if (ok()) {
    return "success";
  }
  return operation + ": " + std::strerror(error) + " (" + std::to_string(error) + ")";
}

}  // namespace platform
