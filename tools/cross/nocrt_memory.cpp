// The four memory functions that compilers call on their own (for struct
// copies and zeroing), for the images that link no C runtime. The loops go
// through volatile pointers so that the compiler does not turn them back
// into calls of the very functions they define.
#include <stddef.h>

extern "C" {

void* memset(void* to, int value, size_t count) {
  auto* d = static_cast<volatile unsigned char*>(to);
  for (size_t i = 0; i < count; ++i) d[i] = static_cast<unsigned char>(value);
  return to;
}

void* memcpy(void* to, const void* from, size_t count) {
  auto* d = static_cast<volatile unsigned char*>(to);
  auto* s = static_cast<const volatile unsigned char*>(from);
  for (size_t i = 0; i < count; ++i) d[i] = s[i];
  return to;
}

void* memmove(void* to, const void* from, size_t count) {
  auto* d = static_cast<volatile unsigned char*>(to);
  auto* s = static_cast<const volatile unsigned char*>(from);
  if (d < s) {
    for (size_t i = 0; i < count; ++i) d[i] = s[i];
  } else {
    for (size_t i = count; i > 0; --i) d[i - 1] = s[i - 1];
  }
  return to;
}

int memcmp(const void* a, const void* b, size_t count) {
  auto* x = static_cast<const volatile unsigned char*>(a);
  auto* y = static_cast<const volatile unsigned char*>(b);
  for (size_t i = 0; i < count; ++i)
    if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
  return 0;
}
}
