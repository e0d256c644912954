// A path as the programs write it (backslashes) in the form the native
// build's POSIX calls take (slashes): the saver's Windows paths, read off
// Windows by the native tests.
#pragma once

#include <string>

inline std::string NativePath(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}
