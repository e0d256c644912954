// Files on Windows: mapped read-only, shared for reading.
#include <windows.h>

#include "FileView.h"
#include "Utf16.h"
#include "WinHandles.h"

namespace {

class MappedView : public FileView {
public:
    MappedView(win::Handle file, win::Handle mapping, const void* view, size_t size)
        : file_(std::move(file)), mapping_(std::move(mapping)), view_(view), size_(size) {}
    ~MappedView() override { UnmapViewOfFile(view_); }  // before the mapping and the file close
    const uint8_t* Data() const override { return static_cast<const uint8_t*>(view_); }
    size_t Size() const override { return size_; }

private:
    win::Handle file_;
    win::Handle mapping_;
    const void* view_;
    size_t size_;
};

}  // namespace

std::unique_ptr<FileView> OpenFileView(const std::string& path) {
    // (Any sharing: the saver holds the screen copy open for writing and for
    // its deletion while the renderer reads it.)
    win::Handle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || static_cast<uint64_t>(size.QuadPart) > SIZE_MAX) {
        return nullptr;
    }
    win::Handle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return nullptr;
    const void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) return nullptr;
    return std::unique_ptr<FileView>(
        new MappedView(std::move(file), std::move(mapping), view, static_cast<size_t>(size.QuadPart)));
}
