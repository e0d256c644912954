// Profile (INI) files on their own bytes, read and written the way the
// Windows profile functions do, so that files written by either side read
// the same: "[Section]" lines, "key=value" lines, names compared without
// regard to case, blanks around names and values not significant, one pair
// of enclosing quotes taken off a value. A line ends at CR, LF or CR LF.
// Multi-byte (Shift_JIS) texts are walked character by character, so a
// trail byte is never taken for "]".
//
// A write changes the one line it concerns (or adds it) and leaves every
// other byte of the file as it was.
#pragma once

#include <string>

namespace profile {

// How the text handed to GetValue and SetValue is encoded: Shift_JIS bytes
// (the system's ANSI code page), or UTF-8 (a Unicode file, decoded).
enum class Charset { ShiftJis, Utf8 };

// The value of key in section; false when the section or key is missing or
// the key line has no "=".
bool GetValue(const std::string& file, const std::string& section, const std::string& key, std::string& value,
              Charset charset = Charset::ShiftJis);

// The file with key in section set to value: the key's line rewritten, or
// added after the section's last line, or a new section at the end. A value
// is cut at its first line break, so it can never add lines of its own, and
// a new line never joins the line before it.
std::string SetValue(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value, Charset charset = Charset::ShiftJis);

// A profile file as the system reads it: a file that starts with a UTF-16
// byte-order mark is Unicode (its text decoded to UTF-8 here), any other is
// ANSI text taken as it is. Encode gives back the very same bytes for an
// unchanged text, so a write touches nothing but the line it changes.
enum class Encoding { Ansi, Utf16LE, Utf16BE };
struct FileText {
    Encoding encoding = Encoding::Ansi;
    std::string text;  // Shift_JIS bytes (Ansi) or UTF-8 (Unicode files)
    std::string tail;  // a last odd byte of a Unicode file, kept as it was
    Charset charset() const { return encoding == Encoding::Ansi ? Charset::ShiftJis : Charset::Utf8; }
};
FileText Decode(const std::string& bytes);
std::string Encode(const FileText& file);

}  // namespace profile
