#include "temp_dir.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "platform.h"

namespace korvallestin::testing {

TempDir::TempDir(std::string_view prefix) {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device seed;
    std::mt19937_64 random(seed());
    // create_directory makes a folder only where none was: a name another
    // test took first is simply passed over.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            base / PathFromUtf8(std::string(prefix) + std::to_string(random() % 1'000'000'000));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            path_ = Utf8FromPath(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(PathFromUtf8(path_), ec);
}

std::string TempDir::Join(const std::string& folder, const std::string& name) {
    return Utf8FromPath(PathFromUtf8(folder) / PathFromUtf8(name));
}

std::string TempDir::Write(const std::string& name, std::string_view bytes) const {
    std::string path = File(name);
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
    return path;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace korvallestin::testing
