// A fresh folder of a test's own under the system's temporary folder, removed with
// everything in it when the object goes, whether the test passed or stopped early.
#pragma once

#include <filesystem>
#include <string>

class TempFolder {
  public:
    // The folder is named "tavelle-<name>-XXXXXX", unique even when several test
    // processes run at once.
    explicit TempFolder(const std::string& name);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};
