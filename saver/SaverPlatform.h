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

bool ReadWholeFile(const std::string& path, std::string& bytes);
// Replaces the file's contents atomically: a temporary file beside it, then
// a rename over it, so a crash or a full disk never leaves half a file.
bool ReplaceFileContents(const std::string& path, const std::string& bytes);
// True when the path names a file (not a folder) that opens for reading.
bool CanOpenForReading(const std::string& path);
