// Files on Windows: mapped read-only, shared for reading.
#include <windows.h>

#include "FileView.h"
#include "Utf16.h"

namespace {

class MappedView : public FileView {
public:
    MappedView(HANDLE file, HANDLE mapping, const void* view, size_t size)
        : file_(file), mapping_(mapping), view_(view), size_(size) {}
    ~MappedView() override {
        UnmapViewOfFile(view_);
        CloseHandle(mapping_);
        CloseHandle(file_);
    }
    const uint8_t* Data() const override { return static_cast<const uint8_t*>(view_); }
    size_t Size() const override { return size_; }

private:
    HANDLE file_;
    HANDLE mapping_;
    const void* view_;
    size_t size_;
};

}  // namespace

std::unique_ptr<FileView> OpenFileView(const std::string& path) {
    HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 || static_cast<uint64_t>(size.QuadPart) > SIZE_MAX) {
        CloseHandle(file);
        return nullptr;
    }
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) {
        CloseHandle(file);
        return nullptr;
    }
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) {
        CloseHandle(mapping);
        CloseHandle(file);
        return nullptr;
    }
    return std::unique_ptr<FileView>(new MappedView(file, mapping, view, static_cast<size_t>(size.QuadPart)));
}
