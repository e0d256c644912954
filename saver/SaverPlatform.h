// The saver's few calls to the system for files, text encoding and its own
// folder (SaverPlatform_win32.cpp, SaverPlatform_posix.cpp). Paths are UTF-8
// with backslashes; off Windows the backslashes are read as slashes.
#pragma once

#include <string>

// The program's folder as the system reports it: no trailing backslash,
// except for the root of a drive ("C:\").
std::string ProgramFolder();
void SetProgramFolder(const std::string& folder);  // tests: the folder to use instead

// The settings file's text encoding: Shift_JIS (code page 932) bytes on disk,
// UTF-8 inside the program. A character that Shift_JIS lacks becomes "?".
std::string ToShiftJis(const std::string& utf8);
std::string FromShiftJis(const std::string& bytes);

// Only a file that does not exist is Missing; any other failure (a sharing
// conflict, no read permission, an I/O error, a folder) is Failed.
enum class FileRead { Ok, Missing, Failed };
FileRead ReadWholeFile(const std::string& path, std::string& bytes);
// Replaces the file's contents atomically: a temporary file beside it
// ("<name>.tmp-<process>"), then a rename over it, so a crash or a full disk
// never leaves half a file. The new file keeps the old one's attributes (a
// read-only file is not replaced: the write fails, as the system's would);
// temporary files that an earlier crash left beside it are removed after a
// successful replace.
bool ReplaceFileContents(const std::string& path, const std::string& bytes);
// True when the path names a file (not a folder) that opens for reading.
bool CanOpenForReading(const std::string& path);
