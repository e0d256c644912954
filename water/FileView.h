// A whole file, read-only, for the readers of the renderer. The platform
// file maps it (Windows) or reads it into memory (elsewhere).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class FileView {
public:
    virtual ~FileView() = default;
    virtual const uint8_t* Data() const = 0;
    virtual size_t Size() const = 0;
};

// nullptr when the file (path in UTF-8) cannot be opened or mapped; an empty
// file cannot be mapped either.
std::unique_ptr<FileView> OpenFileView(const std::string& path);
