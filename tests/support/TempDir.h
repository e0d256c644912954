// A scratch folder for one test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("tavelo-test-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    // A file name inside the folder as UTF-8 text.
    std::string File(const std::string& utf8Name) const {
        return (path_ / std::filesystem::u8path(utf8Name)).u8string();
    }
    std::string Write(const std::string& utf8Name, const std::vector<uint8_t>& bytes) const {
        const std::string name = File(utf8Name);
        std::ofstream out(std::filesystem::u8path(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        EXPECT_TRUE(out.good()) << name;
        return name;
    }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};
