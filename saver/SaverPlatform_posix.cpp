// The saver's system calls off Windows (for the native tests): POSIX files,
// iconv for Shift_JIS.
#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#include "NativePath.h"
#include "SaverPlatform.h"
#include "Utf8.h"

namespace {

std::string g_programFolder;

// Converts with iconv; unconvertible characters become "?".
std::string Convert(const std::string& text, const char* to, const char* from, const char* question) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return text;
    std::string out;
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char buffer[256];
    while (inLeft > 0) {
        char* o = buffer;
        size_t oLeft = sizeof buffer;
        const size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buffer, static_cast<size_t>(o - buffer));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // An invalid or unmappable character: one replacement per UTF-16
            // unit, as Windows converts (a character beyond the basic plane is
            // a surrogate pair there, so it becomes "??"), then go on after
            // the whole character (a UTF-8 sequence or one byte).
            out += question;
            size_t skip = 1;
            const unsigned char c = static_cast<unsigned char>(*in);
            if (std::string(from) == "UTF-8") {
                skip = Utf8Length(c);
                if (skip == 4) out += question;
            } else if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
                skip = 2;
            }
            if (skip > inLeft) skip = inLeft;
            in += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string ProgramFolder() {
    if (!g_programFolder.empty()) return g_programFolder;
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

void SetProgramFolder(const std::string& folder) { g_programFolder = folder; }

// Character by character, and only where the character comes back from
// Shift_JIS unchanged: iconv maps some characters to look-alikes ("¥" to a
// backslash, which would be a path separator), Windows without best fit
// gives "?" for them.
std::string ToShiftJis(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const size_t width = std::min(utf8.size() - i, Utf8Length(c));
        const std::string character = utf8.substr(i, width);
        const std::string converted = Convert(character, "CP932", "UTF-8", "?");
        const bool exact = converted.find('?') != std::string::npos || character == "?" ||
                           Convert(converted, "UTF-8", "CP932", "?") == character;
        out += exact ? converted : "?";
        i += width;
    }
    return out;
}
std::string FromShiftJis(const std::string& bytes) { return Convert(bytes, "UTF-8", "CP932", "\xE3\x83\xBB"); }

FileRead ReadWholeFile(const std::string& path, std::string& bytes) {
    const int fd = open(NativePath(path).c_str(), O_RDONLY);
    if (fd < 0) return errno == ENOENT ? FileRead::Missing : FileRead::Failed;
    bytes.clear();
    char chunk[65536];
    ssize_t got;
    while ((got = read(fd, chunk, sizeof chunk)) > 0) bytes.append(chunk, static_cast<size_t>(got));
    close(fd);
    return got == 0 ? FileRead::Ok : FileRead::Failed;  // a folder fails here with EISDIR
}


bool CanOpenForReading(const std::string& path) {
    if (path.empty()) return false;
    const int fd = open(NativePath(path).c_str(), O_RDONLY);
    if (fd < 0) return false;
    struct stat st {};
    const bool isFile = fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
    close(fd);
    return isFile;
}
