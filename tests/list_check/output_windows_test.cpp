// An output file on Windows: the file replaced keeps its security settings;
// devices are never replaced. (ReplaceFileW keeps its attributes too on
// Windows; Wine's keeps neither, hence the access list copied as well.)
#include <windows.h>
// sddl.h needs the types of windows.h first.
#include <sddl.h>

#include <string>

#include <gtest/gtest.h>

#include "output.h"
#include "platform.h"
#include "temp_dir.h"

namespace korvallestin {
namespace {

using testing::TempDir;

// The file's access list in the system's text form; empty when it cannot be
// read.
std::wstring AccessList(const std::string& path) {
    const std::wstring name = PathFromUtf8(path).native();
    DWORD size = 0;
    ::GetFileSecurityW(name.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    std::string buffer(size, '\0');
    if (size == 0 || ::GetFileSecurityW(name.c_str(), DACL_SECURITY_INFORMATION, buffer.data(),
                                        size, &size) == 0) {
        return {};
    }
    wchar_t* text = nullptr;
    if (::ConvertSecurityDescriptorToStringSecurityDescriptorW(
            buffer.data(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr) == 0) {
        return {};
    }
    std::wstring out(text);
    ::LocalFree(text);
    return out;
}

bool SetAccessList(const std::string& path, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor,
                                                               nullptr) == 0) {
        return false;
    }
    const bool set =
        ::SetFileSecurityW(PathFromUtf8(path).c_str(), DACL_SECURITY_INFORMATION, descriptor) != 0;
    ::LocalFree(descriptor);
    return set;
}

// A list that only its owner and administrators may open stays so when the
// check's output replaces it; the null device is no output.
TEST(ReplacingFileOutputWindows, KeepsSecuritySettingsAndRefusesDevices) {
    std::string why;
    EXPECT_FALSE(CheckOutputName("NUL", why));
    EXPECT_EQ(why, "It is not an ordinary file (a device, pipe or socket), and is left alone.");
    ReplacingFileOutput refused;
    std::string error;
    EXPECT_FALSE(refused.Open("NUL", error));

    TempDir dir;
    const std::string target = dir.Write("private.csv", "what was there before\n");
    // Protected (no inherited entries): the owner and administrators alone.
    const wchar_t* private_list = L"D:P(A;;FA;;;OW)(A;;FA;;;BA)";
    ASSERT_TRUE(SetAccessList(target, private_list)) << ::GetLastError();
    const std::wstring before = AccessList(target);
    ASSERT_FALSE(before.empty());
    ReplacingFileOutput output;
    ASSERT_TRUE(output.Open(target, error)) << error;
    ASSERT_TRUE(output.Write("rows\n"));
    // A new file takes its folder's settings; the replacement must not.
    const std::wstring temporary = AccessList(output.TemporaryPath());
    ASSERT_TRUE(output.Commit(error)) << error;
    EXPECT_EQ(testing::ReadFileBytes(target), "rows\n");
    EXPECT_EQ(AccessList(target), before);
    EXPECT_NE(temporary, before) << "the test shows nothing: a new file had the same settings";
}

}  // namespace
}  // namespace korvallestin
