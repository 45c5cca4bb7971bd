#include "install_data.h"

#include <filesystem>
#include <system_error>

#include "list_reader.h"
#include "output.h"
#include "platform.h"
#include "postcode_import.h"

namespace korvallestin {

namespace {

namespace fs = std::filesystem;

// Copies a file's bytes into an output; false with the reason.
bool CopyInto(const std::string& from, Output& out, std::string& error) {
    ReadOnlyFile file;
    if (file.Open(from) != ReadOnlyFile::Status::Opened) {
        error =
            "cannot read " + from + (file.Error().empty() ? std::string() : ": " + file.Error());
        return false;
    }
    char buffer[1 << 15];
    for (;;) {
        const std::ptrdiff_t n = file.Read(buffer, sizeof buffer);
        if (n < 0) {
            error = "cannot read " + from + ": " + file.Error();
            return false;
        }
        if (n == 0) {
            return true;
        }
        if (!out.Write(std::string_view(buffer, static_cast<std::size_t>(n)))) {
            error = "cannot write beside " + from + " (is the disk full?)";
            return false;
        }
    }
}

std::string Writing(const std::string& path, const std::string& why) {
    return "cannot write " + path + ": " + why;
}

}  // namespace

InstallPlaces InstallPlacesFor(const std::string& folder) {
    InstallPlaces places;
    fs::path path = PathFromUtf8(PostcodeFilePath(folder));
    // A link is followed to the file it names, a few levels at most: the new
    // file takes the place of that file, and the link stays.
    std::error_code ec;
    for (int level = 0; level < 8 && fs::is_symlink(fs::symlink_status(path, ec)); ++level) {
        const fs::path target = fs::read_symlink(path, ec);
        if (ec) {
            break;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    places.data = Utf8FromPath(path.lexically_normal());
    places.previous =
        Utf8FromPath((path.parent_path() / "postcodes.previous.csv").lexically_normal());
    places.had_data = fs::is_regular_file(path, ec);
    return places;
}

bool InstallPostcodeFile(const InstallPlaces& places, const std::vector<PostcodeRecord>& records,
                         std::string& error) {
    std::string why;
    if (places.had_data) {
        ReplacingFileOutput previous;
        if (!previous.Open(places.previous, why)) {
            error = Writing(places.previous, why);
            return false;
        }
        if (!CopyInto(places.data, previous, error)) {
            return false;
        }
        if (!previous.Commit(why)) {
            error = Writing(places.previous, why);
            return false;
        }
    }
    ReplacingFileOutput data;
    if (!data.Open(places.data, why)) {
        error = Writing(places.data, why);
        return false;
    }
    if (!WritePostcodeFile(records, data)) {
        error = Writing(places.data, "it could not be written in full (is the disk full?)");
        return false;
    }
    if (!data.Commit(why)) {
        error = Writing(places.data, why);
        return false;
    }
    return true;
}

}  // namespace korvallestin
