// The one section and the one line this tool manages, and the rules that recognise them.
//
// Lines are compared as bytes. In every Windows ANSI code page the header, the substitution line
// and the space are ASCII, and a line's first byte or a space is never the second byte of a
// double-byte character, so deciding on bytes gives the same answers as decoding would, while
// lines that are not valid text are still carried through untouched.
#ifndef MOJIFIX_FONTSUBST_SETTINGS_RULES_H
#define MOJIFIX_FONTSUBST_SETTINGS_RULES_H

#include <string_view>

namespace mojifix {

inline constexpr std::string_view kSectionHeader = "[FontSubstitutes]";
inline constexpr std::string_view kSubstitutionLine = "MS Sans Serif=System,128,3";

// The line without its leading and trailing spaces; tabs stay.
std::string_view trimSpaces(std::string_view line);

// A header line of the managed section: spaces around it are allowed, letter case must match.
bool isSectionHeader(std::string_view line);

// The substitution line exactly, with nothing around it.
bool isSubstitutionLine(std::string_view line);

// Follows the scan through the file one line at a time.
class FontSectionScanner {
 public:
  // Takes the next line; true when it is the substitution line inside the section, where the
  // scan stops.
  bool feed(std::string_view line);

  bool sectionSeen() const { return sectionSeen_; }

 private:
  bool inSection_ = false;
  bool sectionSeen_ = false;
};

}  // namespace mojifix

#endif
