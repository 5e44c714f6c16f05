#pragma once
// A fresh temporary folder for one test, removed with everything in it afterwards.
#include <filesystem>
#include <random>
#include <string>

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        FPath = std::filesystem::temp_directory_path() / ("qarto-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(FPath);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return FPath; }

private:
    std::filesystem::path FPath;
};
