// The built console program as a user starts it: its data file from its own
// folder, its exit statuses, and what goes to which stream.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "cli_test_data.h"
#include "platform.h"

namespace korvallestin {
namespace {

using testing::TempDir;

struct Ran {
    int status;
    std::string out;
    std::string err;
};

// Runs the program copied into `folder` with `args` (already quoted for the
// shell), from another working directory.
Ran RunProgram(const TempDir& dir, const std::string& program, const std::string& args) {
    const std::string err_file = dir.File("stderr.txt");
    const std::string command =
        "cd / && '" + program + "' " + args + " 2>'" + err_file + "' </dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, n);
    }
    const int wait_status = pipe != nullptr ? ::pclose(pipe) : -1;
    return {WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1, out,
            testing::ReadFileBytes(err_file)};
}

TEST(CliProgram, ReadsTheDataFileBesideItselfAndAnswersByExitStatus) {
    TempDir dir;
    const std::string folder = TempDir::Join(dir.Path(), "prog ram");
    std::filesystem::create_directory(PathFromUtf8(folder));
    const std::string program = TempDir::Join(folder, "korvallestin-cli");
    std::filesystem::copy_file(KORV_CLI_PROGRAM, PathFromUtf8(program));
    const std::string data = TempDir::Join(folder, "postcodes.csv");
    dir.Write("prog ram/postcodes.csv", testing::SmallPostcodeFile());
    struct Case {
        const char* args;
        int status;
        std::string out;
        std::string err;
    };
    const std::vector<Case> cases = {
        {"find --locality sunnyb --format tsv", 0,
         "Postcode\tLocality\tState\tComments\tDelivery Office\tPresort Indicator\tParcel "
         "Zone\tBSP Number\tBSP Name\n4109\tSUNNYBANK\tQLD\t\t\t\tV1\t\t\n4109\tSUNNYBANK "
         "HILLS\tQLD\t\t\t\tV1\t\t\n",
         ""},
        {"find --locality suny", 1, "",
         "No locality begins with SUNY. Did you mean SUNNYBANK (QLD 4109), SUNNYBANK HILLS (QLD "
         "4109) or SYDNEY (NSW 2000)?\n"},
        {"find --postcode x", 2, "",
         "korvallestin-cli: the postcode cannot hold 'x' (the window's postcode box takes only "
         "digits and the full stop)\n"},
        {"--version", 0, std::string("korvallestin-cli ") + KORV_VERSION + "\n", ""},
        {"frobnicate", 2, "",
         "korvallestin-cli: unknown command 'frobnicate' (the commands are find, check and "
         "import-data)\nTry "
         "'korvallestin-cli --help' for more information.\n"},
    };
    for (const Case& c : cases) {
        const Ran ran = RunProgram(dir, program, c.args);
        EXPECT_EQ(ran.status, c.status) << c.args;
        EXPECT_EQ(ran.out, c.out) << c.args;
        EXPECT_EQ(ran.err, c.err) << c.args;
    }
    // Its own data file is never an output, whatever the name it is given by.
    const std::string list = dir.Write("list.csv", "Suburb,State,Postcode\nSydney,NSW,2000\n");
    const std::string data_before = testing::ReadFileBytes(data);
    const Ran overwrite =
        RunProgram(dir, program, "check '" + list + "' --output '" + folder + "/./postcodes.csv'");
    EXPECT_EQ(overwrite.status, 2);
    EXPECT_EQ(overwrite.err, "korvallestin-cli: the output " + folder +
                                 "/./postcodes.csv is the postcode file; give another\n");
    EXPECT_EQ(testing::ReadFileBytes(data), data_before);

    // Without its data file it says where it looked, as the window does.
    std::filesystem::remove(PathFromUtf8(data));
    const Ran missing = RunProgram(dir, program, "find");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err,
              "korvallestin-cli: Postcodes.CSV file missing from " + folder + " folder.\n");
    // Two files whose names differ from it only in letter case: neither is
    // taken, and the message names them.
    dir.Write("prog ram/Postcodes.CSV", testing::SmallPostcodeFile());
    dir.Write("prog ram/POSTCODES.csv", testing::SmallPostcodeFile());
    const Ran two = RunProgram(dir, program, "find");
    EXPECT_EQ(two.status, 2);
    EXPECT_EQ(two.err, "korvallestin-cli: No postcodes.csv in the " + folder +
                           " folder, but 2 files whose names differ from it only in letter case "
                           "(POSTCODES.csv, Postcodes.CSV): keep one of them, or name one with "
                           "--data.\n");
}

// Starts the built program with the three standard streams given; SIGPIPE as
// the parent leaves it (default or ignored).
pid_t Start(const std::vector<std::string>& args, int in, int out, int err, bool ignore_sigpipe) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::signal(SIGPIPE, ignore_sigpipe ? SIG_IGN : SIG_DFL);
        // The program keeps a signal ignored that it was started with
        // ignored (as under nohup); the tests start it as a terminal would,
        // whatever started them.
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            ::signal(signal, SIG_DFL);
        }
        std::vector<char*> argv{const_cast<char*>(KORV_CLI_PROGRAM)};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(KORV_CLI_PROGRAM, argv.data());
        ::_exit(127);
    }
    return pid;
}

// `... | head`: the reader gone, the program ends at once, says nothing and
// ends with 141, as a program that SIGPIPE ended, whether the shell left
// SIGPIPE to end it or had it ignored. The check runs with --quiet: that
// drops its column note, but not its errors, so a "cannot write" message
// would still show on standard error.
TEST(CliProgram, AClosedPipeEndsItQuietlyWithStatus141) {
    TempDir dir;
    const std::string list = dir.Write("list.csv", "Suburb,State,Postcode\nSydney,NSW,2000\n");
    const std::vector<std::vector<std::string>> runs = {
        {"find"},
        {"find", "--format", "csv", "--sort", "locality"},
        {"check", list, "--quiet"},
        {"--help"}};
    const int null = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(null, 0);
    for (const bool ignored : {false, true}) {
        for (const std::vector<std::string>& args : runs) {
            SCOPED_TRACE(args[0] + (args.size() > 1 ? " " + args[1] : "") +
                         (ignored ? ", SIGPIPE ignored" : ""));
            int ends[2];
            ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
            ::close(ends[0]);  // gone before the first write
            const std::string err_file = dir.File("stderr.txt");
            const int err =
                ::open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            ASSERT_GE(err, 0);
            const pid_t pid = Start(args, null, ends[1], err, ignored);
            ::close(ends[1]);
            ::close(err);
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
            EXPECT_EQ(WEXITSTATUS(status), 141);
            EXPECT_EQ(testing::ReadFileBytes(err_file), "");
        }
    }
    ::close(null);
}

// The name of the temporary file of out.csv in `dir` (".out.csv.NNNNNN.tmp")
// once it holds bytes, or "" till then.
std::string TemporaryWithRows(const TempDir& dir) {
    for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(dir.Path()))) {
        std::string name = Utf8FromPath(entry.path().filename());
        std::error_code ec;
        if (name.rfind(".out.csv.", 0) == 0 && entry.file_size(ec) > 0 && !ec) {
            return name;
        }
    }
    return "";
}

// A check interrupted while it writes its output file removes its temporary
// file and leaves the output as it was, and ends as the signal ends it. The
// list is a file large enough that the check is still writing rows when the
// temporary file is first seen to hold some.
TEST(CliProgram, AnInterruptedCheckLeavesTheOutputAsItWas) {
    TempDir lists;
    std::string rows = "Suburb,State,Postcode\n";
    for (int i = 0; i < 200000; ++i) {
        rows += "Sydney,NSW,2000\n";
    }
    const std::string list = lists.Write("list.csv", rows);
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    ASSERT_GE(null, 0);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(::strsignal(signal));
        TempDir dir;
        const std::string output = dir.Write("out.csv", "what was there before\n");
        const pid_t pid = Start({"check", list, "--output", output}, null, null, null, false);
        ASSERT_GT(pid, 0);
        // The folder is watched until the temporary file holds rows, for at
        // most 20 seconds, and only while the check is still running.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::string temporary;
        int status = 0;
        pid_t ended = 0;
        while (temporary.empty() && ended == 0 && std::chrono::steady_clock::now() < deadline) {
            temporary = TemporaryWithRows(dir);
            if (temporary.empty()) {
                ended = ::waitpid(pid, &status, WNOHANG);
            }
        }
        if (ended == 0) {
            ASSERT_EQ(::kill(pid, temporary.empty() ? SIGKILL : signal), 0);
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        }
        ASSERT_FALSE(temporary.empty())
            << (ended != 0 ? "the check ended (status " + std::to_string(status) +
                                 ") before rows were seen in a temporary file"
                           : std::string("no rows reached a temporary file in 20 seconds"));
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(dir.Path()))) {
            names.push_back(Utf8FromPath(entry.path().filename()));
        }
        EXPECT_EQ(names, std::vector<std::string>{"out.csv"}) << temporary << " was written";
        EXPECT_EQ(testing::ReadFileBytes(output), "what was there before\n");
    }
    ::close(null);
}

}  // namespace
}  // namespace korvallestin

namespace korvallestin {
namespace {

// The progress line of a check that lasts over a second goes to standard
// error when that is a terminal, and never among rows on that terminal: it
// is drawn when standard output is not a terminal or the rows go to a file.
TEST(CliProgram, TheProgressLineIsDrawnOnlyWhereNoRowsGo) {
    struct Case {
        const char* what;
        bool rows_to_terminal;  // standard output is the terminal too
        bool output_file;
        bool drawn;
    };
    const std::vector<Case> cases = {
        {"rows to a pipe", false, false, true},
        {"rows to the terminal", true, false, false},
        {"rows to a file, standard output the terminal", true, true, true},
    };
    struct sigaction ignore {};
    struct sigaction before {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGPIPE, &ignore, &before), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        int terminal = -1;
        int terminal_end = -1;
        ASSERT_EQ(::openpty(&terminal, &terminal_end, nullptr, nullptr, nullptr), 0);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        int in[2];
        ASSERT_EQ(::pipe2(in, O_CLOEXEC), 0);
        std::vector<std::string> args = {"check", "-"};
        if (c.output_file) {
            args.insert(args.end(), {"--output", dir.File("out.csv")});
        }
        const pid_t pid =
            Start(args, in[0], c.rows_to_terminal ? terminal_end : null, terminal_end, false);
        ::close(in[0]);
        ::close(terminal_end);
        ::close(null);
        ::fcntl(terminal, F_SETFL, O_NONBLOCK);
        ::fcntl(in[1], F_SETFL, O_NONBLOCK);
        // 4,095 rows, then, once more than a second has gone by since the
        // program started, 8,193 more: a progress line is due at row 4,096
        // (every 4,096 rows, after the first second).
        std::string first = "Suburb,State,Postcode\n";
        std::string second;
        for (int i = 0; i < 4095; ++i) {
            first += "Sydney,NSW,2000\n";
        }
        for (int i = 0; i < 8193; ++i) {
            second += "Sydney,NSW,2000\n";
        }
        const auto start = std::chrono::steady_clock::now();
        std::string pending = first;
        bool second_sent = false;
        std::string shown;  // all the terminal showed
        for (bool open = true; open;) {
            pollfd fds[2] = {{terminal, POLLIN, 0}, {in[1], POLLOUT, 0}};
            const nfds_t count = in[1] >= 0 && !pending.empty() ? 2 : 1;
            ASSERT_GE(::poll(fds, count, 100), 0);
            char buffer[4096];
            errno = 0;
            for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;) {
                shown.append(buffer, static_cast<std::size_t>(n));
            }
            if (errno == EIO) {
                open = false;  // the program and its terminal have ended
            }
            if (in[1] >= 0 && !pending.empty()) {
                const ssize_t n = ::write(in[1], pending.data(), pending.size());
                if (n > 0) {
                    pending.erase(0, static_cast<std::size_t>(n));
                }
            }
            const bool late =
                std::chrono::steady_clock::now() - start > std::chrono::milliseconds(1500);
            if (pending.empty() && !second_sent && late) {
                pending = second;
                second_sent = true;
            } else if (pending.empty() && second_sent && in[1] >= 0) {
                ::close(in[1]);
                in[1] = -1;
            }
            ASSERT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
        }
        ::close(terminal);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_NE(shown.find("12288 rows checked in"), std::string::npos) << shown.substr(0, 200);
        // Drawn, it comes before any line the terminal shows after the note
        // of the columns (a row or the summary); the terminal turns each line
        // feed into CR LF.
        const std::size_t after_note =
            shown.rfind("Checking the ", 0) == 0 ? shown.find("\r\n") + 2 : 0;
        EXPECT_EQ(shown.find("\rchecked "),
                  c.drawn ? shown.find('\r', after_note) : std::string::npos)
            << shown.substr(0, 200);
    }
    ::sigaction(SIGPIPE, &before, nullptr);
}

}  // namespace
}  // namespace korvallestin
