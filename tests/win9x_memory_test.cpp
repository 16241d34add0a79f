// The memory functions of the build for Windows 95/98/Me (platform/win9x/memory.cpp), compiled
// into the native tests under names of their own, beside the C library's.
#include <gtest/gtest.h>

#include <cstddef>

extern "C" {
void* win9x_memmove(void* to, const void* from, std::size_t size);
int win9x_memcmp(const void* a, const void* b, std::size_t size);
}

namespace {

TEST(Win9xMemory, MemmoveCopiesOverlappingBytesEitherWayAndNoneOfSizeZero) {
  char text[] = "abcdef";
  EXPECT_EQ(win9x_memmove(text + 1, text, 4), text + 1);  // "aabcdf"
  EXPECT_EQ(win9x_memmove(text, text + 2, 4), text);
  EXPECT_EQ(win9x_memmove(text, text + 1, 0), text);
  EXPECT_STREQ(text, "bcdfdf");  // either move, copying the wrong way, would leave others
}

TEST(Win9xMemory, MemcmpOrdersUnsignedBytes) {
  EXPECT_LT(win9x_memcmp("a\x7f", "a\x80", 2), 0);
  EXPECT_GT(win9x_memcmp("\xff", "\x01", 1), 0);
  EXPECT_EQ(win9x_memcmp("ab", "ab", 2), 0);
  EXPECT_EQ(win9x_memcmp("a", "b", 0), 0);
}

}  // namespace
