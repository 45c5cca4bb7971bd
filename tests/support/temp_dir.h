#pragma once

#include <string>
#include <string_view>

namespace korvallestin::testing {

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes. Paths are UTF-8.
class TempDir {
  public:
    // `prefix` begins the folder's name; it may hold any letter.
    explicit TempDir(std::string_view prefix = "korv-test-");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // The path of `name` in the folder, with the system's separator.
    std::string File(const std::string& name) const { return Join(path_, name); }
    // Writes `bytes` to a file of that name in the folder; returns its path.
    std::string Write(const std::string& name, std::string_view bytes) const;

    static std::string Join(const std::string& folder, const std::string& name);

  private:
    std::string path_;
};

std::string ReadFileBytes(const std::string& path);

}  // namespace korvallestin::testing
