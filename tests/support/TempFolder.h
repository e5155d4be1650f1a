// A fresh folder for one test, removed with everything in it afterwards.
// Relative paths are given with slashes.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

namespace snickit::test {

class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            auto candidate = base / ("snickit-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) path_ = candidate.string();
        }
        if (path_.empty()) throw std::runtime_error("cannot make a temporary folder");
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Native path, no trailing separator.
    const std::string& path() const { return path_; }
    std::filesystem::path At(const std::string& relative) const { return std::filesystem::path(path_) / relative; }
    void Write(const std::string& relative, const std::string& content) const {
        std::filesystem::create_directories(At(relative).parent_path());
        std::ofstream(At(relative), std::ios::binary) << content;
    }
    std::string Read(const std::string& relative) const {
        std::ostringstream content;
        content << std::ifstream(At(relative), std::ios::binary).rdbuf();
        return content.str();
    }
    bool Exists(const std::string& relative) const { return std::filesystem::exists(At(relative)); }
    void MakeFolder(const std::string& relative) const { std::filesystem::create_directories(At(relative)); }
    void Remove(const std::string& relative) const { std::filesystem::remove_all(At(relative)); }

private:
    std::string path_;
};

}  // namespace snickit::test
