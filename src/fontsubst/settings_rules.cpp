// Recognising the managed section and line.
#include "fontsubst/settings_rules.h"

namespace mojifix {

std::string_view trimSpaces(std::string_view line) {
  const auto first = line.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = line.find_last_not_of(' ');
  return line.substr(first, last - first + 1);
}

bool isSectionHeader(std::string_view line) {
  // Most lines are entries: rule them out before trimming.
  if (line.size() < kSectionHeader.size() || (line.front() != '[' && line.front() != ' ')) {
    return false;
  }
  return trimSpaces(line) == kSectionHeader;
}

bool isSubstitutionLine(std::string_view line) { return line == kSubstitutionLine; }

bool FontSectionScanner::feed(std::string_view line) {
  const bool header = isSectionHeader(line);
  if (header) {
    inSection_ = true;
    sectionSeen_ = true;
  }
  if (inSection_ && isSubstitutionLine(line)) return true;
  // Only a header that starts in the first column closes the section.
  if (!line.empty() && line.front() == '[' && !header) inSection_ = false;
  return false;
}

}  // namespace mojifix
