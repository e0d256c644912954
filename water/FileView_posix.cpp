// Files off Windows: read whole into memory.
#include <cstdio>
#include <new>
#include <vector>

#include "FileView.h"

namespace {

class BufferView : public FileView {
public:
    explicit BufferView(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    const uint8_t* Data() const override { return bytes_.data(); }
    size_t Size() const override { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace

std::unique_ptr<FileView> OpenFileView(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return nullptr;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    bool failed = false;
    try {
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    failed = failed || std::ferror(file) != 0;
    std::fclose(file);
    // Like a file mapping, an empty file (or a folder) gives no view.
    if (failed || bytes.empty()) return nullptr;
    return std::unique_ptr<FileView>(new BufferView(std::move(bytes)));
}
