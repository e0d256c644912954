// The saver's few calls to the system for files, text encoding and its own
// folder (SaverPlatform_win32.cpp, SaverPlatform_posix.cpp). Paths are UTF-8
// with backslashes; off Windows the backslashes are read as slashes.
#pragma once

#include <string>

#include "FileReplace.h"

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
// True when the path names a file (not a folder) that opens for reading.
bool CanOpenForReading(const std::string& path);
