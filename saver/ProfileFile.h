// Profile (INI) files on their own bytes, read and written the way the
// Windows profile functions do, so that files written by either side read
// the same: "[Section]" lines, "key=value" lines, names compared without
// regard to case, blanks around names and values not significant, one pair
// of enclosing quotes taken off a value. Multi-byte (Shift_JIS) texts are
// walked character by character, so a trail byte is never taken for "]".
//
// A write changes the one line it concerns (or adds it) and leaves every
// other byte of the file as it was.
#pragma once

#include <string>

namespace profile {

// The value of key in section; false when the section or key is missing or
// the key line has no "=".
bool GetValue(const std::string& file, const std::string& section, const std::string& key, std::string& value);

// The file with key in section set to value: the key's line rewritten, or
// added after the section's last line, or a new section at the end. A value
// is cut at its first line break, so it can never add lines of its own.
std::string SetValue(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value);

}  // namespace profile
