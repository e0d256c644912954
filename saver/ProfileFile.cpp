#include "ProfileFile.h"

#include <vector>

namespace profile {
namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// Position of c in s outside double-byte characters, or npos.
size_t FindSingle(const std::string& s, char c, size_t from = 0) {
    for (size_t i = from; i < s.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (IsLeadByte(b) && i + 1 < s.size()) {
            ++i;
            continue;
        }
        if (s[i] == c) return i;
    }
    return std::string::npos;
}

// Equal without regard to the case of single-byte letters.
bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (IsLeadByte(x) && i + 1 < a.size()) {
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
    size_t content;  // end of the text (before CR LF)
    size_t end;      // after the line break
    Kind kind;
    std::string name;  // section or key name
    std::string value;
    bool hasValue;
};

std::vector<Line> Parse(const std::string& file) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < file.size()) {
        size_t newline = file.find('\n', pos);
        const size_t end = newline == std::string::npos ? file.size() : newline + 1;
        size_t content = newline == std::string::npos ? file.size() : newline;
        if (content > pos && file[content - 1] == '\r') --content;
        Line line{pos, content, end, Kind::Blank, "", "", false};
        const std::string text = Trim(file.substr(pos, content - pos));
        if (text.empty()) {
            line.kind = Kind::Blank;
        } else if (text[0] == '[') {
            line.kind = Kind::Section;
            const size_t close = FindSingle(text, ']', 1);
            line.name = Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        } else {
            const size_t equals = FindSingle(text, '=');
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
bool FindSection(const std::vector<Line>& lines, const std::string& section, size_t& first, size_t& last) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Kind::Section && SameName(lines[i].name, section)) {
            first = i;
            last = i + 1;
            while (last < lines.size() && lines[last].kind != Kind::Section) ++last;
            return true;
        }
    }
    return false;
}

}  // namespace

bool GetValue(const std::string& file, const std::string& section, const std::string& key, std::string& value) {
    const std::vector<Line> lines = Parse(file);
    size_t first, last;
    if (!FindSection(lines, section, first, last)) return false;
    const std::string wanted = Trim(key);
    for (size_t i = first + 1; i < last; ++i) {
        if (lines[i].kind == Kind::Key && SameName(lines[i].name, wanted)) {
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
                     const std::string& value) {
    const std::string oneLine = value.substr(0, value.find_first_of("\r\n"));
    const std::string keyLine = key + "=" + oneLine;
    const std::vector<Line> lines = Parse(file);
    size_t first, last;
    if (FindSection(lines, section, first, last)) {
        for (size_t i = first + 1; i < last; ++i) {
            if (lines[i].kind == Kind::Key && SameName(lines[i].name, Trim(key))) {
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
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    return out + "[" + section + "]\r\n" + keyLine + "\r\n";
}

}  // namespace profile
