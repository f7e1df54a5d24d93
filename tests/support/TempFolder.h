// A fresh temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

class TempFolder {
public:
    // Who may look into the folder: everyone (tests that drop root's privileges still reach
    // their files), or its owner only (a runtime folder the library accepts as private).
    enum Access { ReadableByAll, OwnerOnly };

    // Throws std::runtime_error when no folder can be made.
    explicit TempFolder(Access access = ReadableByAll);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // Creates sub (and its parents) inside the folder and returns its path.
    std::filesystem::path Make(const std::string& sub) const;

private:
    std::filesystem::path path_;
};
