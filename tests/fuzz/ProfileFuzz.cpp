// libFuzzer target for the settings file: any file, any value. After a
// write of a well-formed key, the value reads back, every other line is
// unchanged byte for byte (a last line without a break may gain one), and a
// second identical write changes nothing. A Unicode file decodes and
// encodes back to its very bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "ProfileFile.h"

namespace {

using profile::Charset;

const char* const kNames[] = {"Section", "section", "BGM\x8B\xE6\x95\xAA", "BGM\xD8\xCB\xDF\xB0\xC4",
                              "BGM\xCC\xA7\xB2\xD9", "Other", "k", "BGM区分"};


struct Line {
    std::string text, brk;
};

std::vector<Line> Lines(const std::string& file) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < file.size()) {
        const size_t end = std::min(file.find_first_of("\r\n", pos), file.size());
        size_t next = end;
        if (next < file.size()) next += (file[next] == '\r' && next + 1 < file.size() && file[next + 1] == '\n') ? 2 : 1;
        lines.push_back({file.substr(pos, end - pos), file.substr(end, next - end)});
        pos = next;
    }
    return lines;
}

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The line as it stood, or (the file's last line, without a break) as it
// stands once a line was added after it.
bool Same(const Line& before, const Line& after, bool lastBefore) {
    return before.text == after.text &&
           (before.brk == after.brk || (lastBefore && before.brk.empty() && after.brk == "\r\n"));
}

void CheckWrite(const std::string& file, const std::string& section, const std::string& key, const std::string& value,
                Charset charset) {
    const std::string once = profile::SetValue(file, section, key, value, charset);
    Check(profile::SetValue(once, section, key, value, charset) == once);

    std::string expected = Trim(value.substr(0, value.find_first_of("\r\n")));
    if (expected.size() >= 2 && (expected[0] == '"' || expected[0] == '\'') && expected.back() == expected[0]) {
        expected = expected.substr(1, expected.size() - 2);
    }
    std::string read;
    Check(profile::GetValue(once, section, key, read, charset) && read == expected);

    // Old and new lines agree but for one rewritten key line, or one or two
    // added lines (a key, or a section and its key).
    const std::vector<Line> a = Lines(file), b = Lines(once);
    size_t head = 0, tail = 0;
    while (head < a.size() && head < b.size() && Same(a[head], b[head], head + 1 == a.size())) ++head;
    while (tail < a.size() - head && tail < b.size() - head &&
           Same(a[a.size() - 1 - tail], b[b.size() - 1 - tail], tail == 0)) {
        ++tail;
    }
    const size_t removed = a.size() - head - tail, added = b.size() - head - tail;
    Check(removed <= 1 && added >= removed && added <= 2);
    const std::string keyLine = key + "=" + value.substr(0, value.find_first_of("\r\n"));
    bool keyAdded = false;
    for (size_t i = head; i < head + added; ++i) keyAdded |= b[i].text == keyLine;
    Check(keyAdded || once == file);  // unchanged: the key held that value already
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const Charset charset = input.ConsumeBool() ? Charset::Utf8 : Charset::ShiftJis;
    // The last name is UTF-8, which is no Shift_JIS text.
    const size_t names = charset == Charset::Utf8 ? 7 : 6;
    const std::string section = kNames[input.ConsumeIntegralInRange<size_t>(0, names)];
    const std::string key = kNames[input.ConsumeIntegralInRange<size_t>(0, names)];
    const std::string value = input.ConsumeRandomLengthString(300);
    const std::string file = input.ConsumeRemainingBytesAsString();

    std::string ignored;
    profile::GetValue(file, section, key, ignored, charset);
    CheckWrite(file, section, key, value, charset);

    const profile::FileText text = profile::Decode(file);
    Check(profile::Encode(text) == file);
    if (text.encoding != profile::Encoding::Ansi) CheckWrite(text.text, section, key, value, text.charset());
    return 0;
}
