// Replacing a file's contents off Windows (for the native tests): POSIX
// calls, backslashes read as slashes.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "FileReplace.h"
#include "NativePath.h"

namespace {

// Temporary files of earlier writes that never got renamed (a crash).
void RemoveLeftovers(const std::string& target) {
    const size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
    const std::string stem = target.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp-";
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = readdir(dir)) {
        if (std::string(entry->d_name).compare(0, stem.size(), stem) == 0) {
            unlink((folder + "/" + entry->d_name).c_str());
        }
    }
    closedir(dir);
}

}  // namespace

bool ReplaceFileContents(const std::string& path, const std::string& bytes) {
    const std::string target = NativePath(path);
    const std::string temporary = target + ".tmp-" + std::to_string(getpid());
    struct stat old {};
    const bool existed = stat(target.c_str(), &old) == 0;
    if (existed && (old.st_mode & S_IWUSR) == 0) return false;  // read-only
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    if (existed) fchmod(fd, old.st_mode & 07777);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const bool written = done == bytes.size() && fsync(fd) == 0;
    close(fd);
    if (!written || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    RemoveLeftovers(target);
    return true;
}
