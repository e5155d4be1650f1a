#include "tests/support/TempFolder.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace snickit::test {

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() /
                             ("snickit-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        if (fs::create_directory(candidate)) {
            path_ = candidate.string();
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void TempFolder::Write(const std::string& relative, const std::string& content) const {
    fs::path file = fs::path(path_) / fs::path(relative);
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string TempFolder::Read(const std::string& relative) const {
    std::ifstream in(fs::path(path_) / fs::path(relative), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + relative);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TempFolder::Exists(const std::string& relative) const {
    return fs::exists(fs::path(path_) / fs::path(relative));
}

void TempFolder::MakeFolder(const std::string& relative) const {
    fs::create_directories(fs::path(path_) / fs::path(relative));
}

void TempFolder::Remove(const std::string& relative) const {
    fs::remove_all(fs::path(path_) / fs::path(relative));
}

std::string FakeBitmap(int width, int height) {
    std::string header(54, '\0');
    header[0] = 'B';
    header[1] = 'M';
    auto put32 = [&](size_t at, int value) {
        for (int i = 0; i < 4; ++i) header[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
    };
    put32(2, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    header[26] = 1;
    header[28] = 24;
    return header;
}

}  // namespace snickit::test
