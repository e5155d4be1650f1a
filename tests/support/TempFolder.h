// A fresh folder for one test, removed with everything in it afterwards.
// Relative paths are given with slashes, or backslashes as the program
// writes them.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

namespace snickit::test {

struct TempFolder {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("snickit-test-" + std::to_string(std::random_device{}()));
    TempFolder() {
        if (!std::filesystem::create_directory(root)) throw std::runtime_error("taken: " + root.string());
    }
    ~TempFolder() { std::error_code ignored; std::filesystem::remove_all(root, ignored); }
    TempFolder(const TempFolder&) = delete;

    std::string path() const { return root.string(); }  // native, no trailing separator
    void Write(std::string relative, const std::string& content) const {
        std::replace(relative.begin(), relative.end(), '\\', '/');
        std::filesystem::create_directories((root / relative).parent_path());
        std::ofstream(root / relative, std::ios::binary) << content;
    }
    // Lengthens a file with zeros, without holding them in memory.
    void Grow(std::string relative, std::uintmax_t size) const {
        std::replace(relative.begin(), relative.end(), '\\', '/');
        std::filesystem::resize_file(root / relative, size);
    }
    std::string Read(const std::string& relative) const {
        std::ostringstream content;
        content << std::ifstream(root / relative, std::ios::binary).rdbuf();
        return content.str();
    }
    void Remove(const std::string& relative) const { std::filesystem::remove_all(root / relative); }
};

}  // namespace snickit::test
