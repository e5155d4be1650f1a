// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace snickit::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // Native path, no trailing separator.
    const std::string& path() const { return path_; }
    // Writes a file (creating its folders) at a path relative to this one,
    // given with slashes.
    void Write(const std::string& relative, const std::string& content) const;
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    void MakeFolder(const std::string& relative) const;
    void Remove(const std::string& relative) const;

private:
    std::string path_;
};

// A minimal bitmap file of the given size: enough for the recording platform
// (which reads the header only).
std::string FakeBitmap(int width = 240, int height = 95);

}  // namespace snickit::test
