// The memory functions that the compiler and the string classes call, with no C runtime linked.
// Plain loops, built without turning them back into calls to themselves: the files are small.
#include <cstddef>
#include <cstdint>

extern "C" {

void* memcpy(void* to, const void* from, std::size_t size) {
  auto* out = static_cast<unsigned char*>(to);
  const auto* in = static_cast<const unsigned char*>(from);
  while (size-- > 0) *out++ = *in++;
  return to;
}

void* memmove(void* to, const void* from, std::size_t size) {
  auto* out = static_cast<unsigned char*>(to);
  const auto* in = static_cast<const unsigned char*>(from);
  if (reinterpret_cast<std::uintptr_t>(out) <= reinterpret_cast<std::uintptr_t>(in)) {
    return memcpy(to, from, size);
  }
  while (size-- > 0) out[size] = in[size];
  return to;
}

void* memset(void* to, int value, std::size_t size) {
  auto* out = static_cast<unsigned char*>(to);
  while (size-- > 0) *out++ = static_cast<unsigned char>(value);
  return to;
}

int memcmp(const void* a, const void* b, std::size_t size) {
  const auto* left = static_cast<const unsigned char*>(a);
  const auto* right = static_cast<const unsigned char*>(b);
  for (; size > 0; --size, ++left, ++right) {
    if (*left != *right) return *left < *right ? -1 : 1;
  }
  return 0;
}

void* memchr(const void* block, int value, std::size_t size) {
  const auto* in = static_cast<const unsigned char*>(block);
  for (; size > 0; --size, ++in) {
    if (*in == static_cast<unsigned char>(value)) return const_cast<unsigned char*>(in);
  }
  return nullptr;
}

std::size_t strlen(const char* text) {
  std::size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

}  // extern "C"
