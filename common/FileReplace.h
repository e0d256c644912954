// Writing a whole file so that it is never half written. Paths are UTF-8
// with backslashes (off Windows read as slashes).
#pragma once

#include <string>

// Replaces the file's contents atomically: a temporary file beside it
// ("<name>.tmp-<process>"), then a rename over it, so a crash or a full disk
// never leaves half a file. The new file keeps the old one's attributes (a
// read-only file is not replaced: the write fails, as the system's would);
// temporary files that an earlier crash left beside it are removed after a
// successful replace.
bool ReplaceFileContents(const std::string& path, const std::string& bytes);
