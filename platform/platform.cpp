#include "platform.h"

#include <system_error>

namespace korvallestin {

ReadOnlyFile::~ReadOnlyFile() {
    Close();
}

ReadOnlyFile::Status ReadOnlyFile::Fail(Status status, std::string error) {
    Close();
    error_ = std::move(error);
    return status;
}

ReadOnlyFile::Status ReadOnlyFile::Open(const std::string& utf8_path) {
    Close();
    error_.clear();
    std::error_code ec;
    const std::filesystem::file_status status =
        std::filesystem::status(PathFromUtf8(utf8_path), ec);
    switch (status.type()) {
        case std::filesystem::file_type::regular:
        // Windows' devices and pipes (NUL, CONIN$, \\.\pipe\...) are not
        // found by name: opened (which never blocks), they are told apart by
        // what they are. A name that is truly missing is missing again.
        case std::filesystem::file_type::not_found:
            return OpenUnchecked(utf8_path);
        case std::filesystem::file_type::directory:
            return Fail(Status::Folder);
        case std::filesystem::file_type::none:
        case std::filesystem::file_type::unknown:
            // The name could not be looked at: say why, in the system's words.
            if (ec) {
                return Fail(Status::System, ec.message());
            }
            return Fail(Status::NotRegular);
        default:
            return Fail(Status::NotRegular);
    }
}

}  // namespace korvallestin
