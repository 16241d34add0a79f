// The change check and rename of platforms that cannot rename a file they hold open.
#include "platform/platform.h"

#include "platform/text_file.h"

namespace mojifix {

bool Platform::renameIfUnchanged(const std::string& from, const std::string& to,
                                 std::uint64_t read) {
  return fileReadsAs(*this, from, read) && renameFile(from, to);
}

}  // namespace mojifix
