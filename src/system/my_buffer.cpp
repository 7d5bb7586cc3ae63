#include "system/my_buffer.h"

#include <algorithm>

namespace orvello {

void CMyBuffer::Grow(int64_t n) {
  if (n <= 0) {
    std::fill(storage_.begin(), storage_.end(), uint8_t{0});
    size_ = 0;
    return;
  }
  const size_t wanted = static_cast<size_t>(n);
  if (storage_.size() < wanted) {
    // A fresh block, as a reallocation would give; the old contents do not matter.
    storage_.assign(wanted, 0);
  } else {
    std::fill(storage_.begin(), storage_.end(), uint8_t{0});
  }
  size_ = wanted;
}

}  // namespace orvello
