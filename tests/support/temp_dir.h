#pragma once

#include <string>
#include <string_view>

namespace korvallestin::testing {

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Writes `bytes` to a file of that name in the folder; returns its path.
    std::string Write(const std::string& name, std::string_view bytes) const;

  private:
    std::string path_;
};

std::string ReadFileBytes(const std::string& path);

}  // namespace korvallestin::testing
