// The change check and rename of platforms that cannot rename a file they hold open.
#include "platform/platform.h"

#include <utility>

#include "platform/text_file.h"

namespace mojifix {

bool Platform::renameIfUnchanged(const std::string& from, const std::string& to,
                                 std::uint64_t read) {
  auto file = openForReading(from);
  if (!file) return false;
  LineReader reader(std::move(file));
  return reader.readsAs(read) && reader.close() && renameFile(from, to);
}

}  // namespace mojifix
