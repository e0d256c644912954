#include "ProfileFile.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace profile {
namespace {

// Shift_JIS text has double-byte characters; decoded Unicode (UTF-8) has
// none that matter here (its multi-byte sequences are all >= 0x80).
bool IsLeadByte(unsigned char c, Charset charset) {
    return charset == Charset::ShiftJis && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC));
}
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsBreak(char c) { return c == '\r' || c == '\n'; }

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// Position of c in s outside double-byte characters, or npos.
size_t FindSingle(const std::string& s, char c, Charset charset, size_t from = 0) {
    for (size_t i = from; i < s.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (IsLeadByte(b, charset) && i + 1 < s.size()) {
            ++i;
            continue;
        }
        if (s[i] == c) return i;
    }
    return std::string::npos;
}

// Equal without regard to the case of single-byte letters.
bool SameName(const std::string& a, const std::string& b, Charset charset) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (IsLeadByte(x, charset) && i + 1 < a.size()) {
            if (x != y || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        const auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
        if (lower(x) != lower(y)) return false;
    }
    return true;
}

enum class Kind { Blank, Section, Key, Other };

struct Line {
    size_t start;    // first byte
    size_t content;  // end of the text (before its line break)
    size_t end;      // after the line break
    Kind kind;
    std::string name;  // section or key name
    std::string value;
    bool hasValue;
};

std::vector<Line> Parse(const std::string& file, Charset charset) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < file.size()) {
        // A line ends at CR, LF or CR LF, as the system reads it.
        const size_t content = std::min(file.find_first_of("\r\n", pos), file.size());
        size_t end = content;
        if (end < file.size()) end += (file[end] == '\r' && end + 1 < file.size() && file[end + 1] == '\n') ? 2 : 1;
        Line line{pos, content, end, Kind::Blank, "", "", false};
        const std::string text = Trim(file.substr(pos, content - pos));
        if (text.empty()) {
            line.kind = Kind::Blank;
        } else if (text[0] == '[') {
            line.kind = Kind::Section;
            const size_t close = FindSingle(text, ']', charset, 1);
            line.name = Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        } else {
            const size_t equals = FindSingle(text, '=', charset);
            line.kind = Kind::Key;
            if (equals == std::string::npos) {
                line.name = text;
            } else {
                line.name = Trim(text.substr(0, equals));
                line.value = Trim(text.substr(equals + 1));
                line.hasValue = true;
            }
        }
        lines.push_back(line);
        pos = end;
    }
    return lines;
}

// The lines of the first section named so: [first, last) as indices, first the header.
bool FindSection(const std::vector<Line>& lines, const std::string& section, Charset charset, size_t& first,
                 size_t& last) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Kind::Section && SameName(lines[i].name, section, charset)) {
            first = i;
            last = i + 1;
            while (last < lines.size() && lines[last].kind != Kind::Section) ++last;
            return true;
        }
    }
    return false;
}

}  // namespace

bool GetValue(const std::string& file, const std::string& section, const std::string& key, std::string& value,
              Charset charset) {
    const std::vector<Line> lines = Parse(file, charset);
    size_t first, last;
    if (!FindSection(lines, section, charset, first, last)) return false;
    const std::string wanted = Trim(key);
    for (size_t i = first + 1; i < last; ++i) {
        if (lines[i].kind == Kind::Key && SameName(lines[i].name, wanted, charset)) {
            if (!lines[i].hasValue) return false;
            value = lines[i].value;
            if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
                value = value.substr(1, value.size() - 2);
            }
            return true;
        }
    }
    return false;
}

std::string SetValue(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value, Charset charset) {
    const std::string oneLine = value.substr(0, value.find_first_of("\r\n"));
    const std::string keyLine = key + "=" + oneLine;
    const std::vector<Line> lines = Parse(file, charset);
    size_t first, last;
    if (FindSection(lines, section, charset, first, last)) {
        for (size_t i = first + 1; i < last; ++i) {
            if (lines[i].kind == Kind::Key && SameName(lines[i].name, Trim(key), charset)) {
                return file.substr(0, lines[i].start) + keyLine + file.substr(lines[i].content);
            }
        }
        size_t after = first;  // the section's last line that is not blank
        for (size_t i = first + 1; i < last; ++i) {
            if (lines[i].kind != Kind::Blank) after = i;
        }
        const Line& at = lines[after];
        const bool hasBreak = at.end > at.content;
        return file.substr(0, at.end) + (hasBreak ? "" : "\r\n") + keyLine + "\r\n" + file.substr(at.end);
    }
    std::string out = file;
    if (!out.empty() && !IsBreak(out.back())) out += "\r\n";
    return out + "[" + section + "]\r\n" + keyLine + "\r\n";
}

namespace {

std::vector<uint16_t> Units(const std::string& bytes, size_t from, bool bigEndian) {
    std::vector<uint16_t> units;
    for (size_t i = from; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<uint16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a)));
    }
    return units;
}

void PutUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void PutUnit(std::string& out, uint16_t unit, bool bigEndian) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

}  // namespace

// A surrogate without its partner is kept as a three-byte sequence of its
// own, so that every file decodes and encodes back to the same bytes.
FileText Decode(const std::string& bytes) {
    FileText file;
    const bool le = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
    const bool be = bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF';
    if (!le && !be) {
        file.text = bytes;
        return file;
    }
    file.encoding = le ? Encoding::Utf16LE : Encoding::Utf16BE;
    const std::vector<uint16_t> units = Units(bytes, 2, be);
    for (size_t i = 0; i < units.size(); ++i) {
        const uint16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            PutUtf8(file.text, 0x10000 + ((u - 0xD800u) << 10) + (units[i + 1] - 0xDC00u));
            ++i;
        } else {
            PutUtf8(file.text, u);
        }
    }
    if (bytes.size() % 2 != 0) file.tail = bytes.substr(bytes.size() - 1);
    return file;
}

std::string Encode(const FileText& file) {
    if (file.encoding == Encoding::Ansi) return file.text;
    const bool be = file.encoding == Encoding::Utf16BE;
    std::string out = be ? "\xFE\xFF" : "\xFF\xFE";
    const std::string& s = file.text;
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const size_t width = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        bool valid = width > 0 && i + width <= s.size();
        uint32_t code = width == 1 ? c : width == 2 ? (c & 0x1Fu) : width == 3 ? (c & 0x0Fu) : (c & 0x07u);
        for (size_t k = 1; valid && k < width; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            valid = (t & 0xC0) == 0x80;
            code = code << 6 | (t & 0x3Fu);
        }
        if (!valid || code > 0x10FFFF) {  // not UTF-8: the replacement character
            PutUnit(out, 0xFFFD, be);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            PutUnit(out, static_cast<uint16_t>(0xD800 + ((code - 0x10000) >> 10)), be);
            PutUnit(out, static_cast<uint16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)), be);
        } else {
            PutUnit(out, static_cast<uint16_t>(code), be);
        }
        i += width;
    }
    return out + file.tail;
}

}  // namespace profile
