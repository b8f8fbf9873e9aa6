#pragma once
// One of the link's four data buffers: allocated once when a link opens, released when it
// closes. A released buffer is "missing", which the operations report as a system failure.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace vtlink {

class LinkBuffer {
 public:
  // A bench tool has no use for more than this, and a typing slip in a size field must not
  // commit gigabytes; larger requests fail like an allocation the system refused.
  static constexpr std::size_t kMaxSize = 16 * 1024 * 1024;

  bool allocate(std::size_t size) {
    release();
    if (size > kMaxSize) {
      return false;
    }
    data_.reset(new (std::nothrow) std::uint8_t[size]());
    size_ = data_ ? size : 0;
    return data_ != nullptr;
  }
  void release() {
    data_.reset();
    size_ = 0;
  }

  explicit operator bool() const { return data_ != nullptr; }
  std::uint8_t* data() { return data_.get(); }
  const std::uint8_t* data() const { return data_.get(); }
  std::size_t size() const { return size_; }

 private:
  std::unique_ptr<std::uint8_t[]> data_;
  std::size_t size_ = 0;
};

}  // namespace vtlink
