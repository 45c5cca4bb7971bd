// The console program's speed, measured as a user runs it, one process at a
// time:
//
//   check   a list of 1,000,000 addresses made from the data file (90 % right,
//           5 % with a wrong postcode, 5 % with a misspelled locality): wall
//           time, rows per second, peak memory; then the misspelled rows
//           alone, beside a list with no row at all (start-up and the data);
//           then with --fix a list of 1,000,000 rows of which 10 % bear a
//           spreadsheet's damage (postcodes with their leading zero dropped,
//           typographic apostrophes and dashes), and one row whose locality
//           is a megabyte long.
//   find    every record of the data file written to a pipe that this program
//           reads, beside the same program reading the whole file and writing
//           nothing (a postcode that no record has): the ratio of the two.
//
//   korvallestin-cli-bench --cli PROGRAM --data FILE [--rows N] [--runs N]
//                          [--find-runs N] [--work FOLDER]
//
// Figures are medians. The verdicts of the big check are counted and must
// match the list's make-up; the exit status is 1 when they do not.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "address_list.h"
#include "data_file.h"

namespace {

using korvallestin::PostcodeFileReader;
using korvallestin::PostcodeRecord;
using korvallestin::bench::AddressListCounts;
using korvallestin::bench::GenerateAddressList;
using korvallestin::bench::GenerateDamagedList;
using Clock = std::chrono::steady_clock;

struct Run {
    double seconds = 0;
    double cpu_seconds = 0;  // user and system
    long peak_kb = 0;
    int status = -1;  // exit status, -1 when the program did not exit normally
    std::size_t bytes_out = 0;
};

// Runs `args` with standard output to `out_path` (or to a pipe that is read
// to its end and dropped, when `out_path` is empty) and standard error to
// `err_path`. Wall time and peak memory are the child's own.
std::optional<Run> Spawn(const std::vector<std::string>& args, const std::string& out_path,
                         const std::string& err_path) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);

    int pipe_fds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (out_path.empty()) {
        if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
            posix_spawn_file_actions_destroy(&actions);
            return std::nullopt;
        }
        posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);

    Run run;
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (pipe_fds[1] >= 0) {
        ::close(pipe_fds[1]);
    }
    if (spawned != 0) {
        if (pipe_fds[0] >= 0) {
            ::close(pipe_fds[0]);
        }
        std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::strerror(spawned));
        return std::nullopt;
    }
    if (pipe_fds[0] >= 0) {
        std::vector<char> buffer(std::size_t{1} << 16);
        ssize_t n = 0;
        while ((n = ::read(pipe_fds[0], buffer.data(), buffer.size())) != 0) {
            if (n > 0) {
                run.bytes_out += static_cast<std::size_t>(n);
            } else if (errno != EINTR) {
                break;
            }
        }
        ::close(pipe_fds[0]);
    }
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.peak_kb = usage.ru_maxrss;
    run.cpu_seconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::string Thousands(double value) {
    const std::string digits = std::to_string(std::llround(value));
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
    return out;
}

// Runs a command `runs` times; every run must end with one of `statuses`.
std::optional<std::vector<Run>> Repeat(const std::vector<std::string>& args, int runs,
                                       const std::string& out_path, const std::string& err_path,
                                       const std::set<int>& statuses) {
    std::vector<Run> all;
    for (int i = 0; i < runs; ++i) {
        const std::optional<Run> run = Spawn(args, out_path, err_path);
        if (!run) {
            return std::nullopt;
        }
        if (statuses.count(run->status) == 0) {
            std::fprintf(stderr, "%s %s ... ended with status %d; its errors:\n", args[0].c_str(),
                         args[1].c_str(), run->status);
            std::ifstream err(err_path);
            std::string line;
            for (int n = 0; n < 10 && std::getline(err, line); ++n) {
                std::fprintf(stderr, "  %s\n", line.c_str());
            }
            return std::nullopt;
        }
        all.push_back(*run);
    }
    return all;
}

// The median of one figure of each run.
template <typename Figure>
double MedianOf(const std::vector<Run>& runs, Figure Run::*figure) {
    std::vector<double> values;
    values.reserve(runs.size());
    for (const Run& r : runs) {
        values.push_back(static_cast<double>(r.*figure));
    }
    return Median(values);
}

double MedianSeconds(const std::vector<Run>& runs) {
    return MedianOf(runs, &Run::seconds);
}

double MedianCpuSeconds(const std::vector<Run>& runs) {
    return MedianOf(runs, &Run::cpu_seconds);
}

double MedianPeakMb(const std::vector<Run>& runs) {
    return MedianOf(runs, &Run::peak_kb) / 1024.0;
}

// The fields of one CSV line (RFC 4180 quoting, no line end inside).
std::vector<std::string> SplitCsv(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

// How many rows of the checked list got each verdict (the column after the
// list's own five).
std::map<std::string, std::size_t> CountVerdicts(const std::string& path) {
    std::map<std::string, std::size_t> counts;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (std::exchange(header, false)) {
            continue;
        }
        const std::vector<std::string> fields = SplitCsv(line);
        ++counts[fields.size() > 5 ? fields[5] : "(no verdict column)"];
    }
    return counts;
}

// The reader alone, in this process: every record of the file, nothing else.
double ReadFileSeconds(const std::string& path, long& records) {
    const Clock::time_point start = Clock::now();
    PostcodeFileReader reader;
    records = -1;
    if (reader.Open(path) == PostcodeFileReader::OpenResult::Opened) {
        PostcodeRecord record;
        while (!reader.AtEnd() && reader.ReadRecord(record)) {
            ++records;
        }
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A four-digit postcode that no record of the file has.
std::string AbsentPostcode(const std::string& path) {
    std::set<std::string> present;
    PostcodeFileReader reader;
    if (reader.Open(path) == PostcodeFileReader::OpenResult::Opened) {
        PostcodeRecord record;
        while (!reader.AtEnd() && reader.ReadRecord(record)) {
            present.insert(record.Postcode);
        }
    }
    for (int n = 0; n < 10000; ++n) {
        char code[8];
        std::snprintf(code, sizeof code, "%04d", n);
        if (present.count(code) == 0) {
            return code;
        }
    }
    return "0000";
}

int Usage() {
    std::fprintf(stderr,
                 "usage: korvallestin-cli-bench --cli PROGRAM --data FILE [--rows N] [--runs N]\n"
                 "                              [--find-runs N] [--work FOLDER]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string cli;
    std::string data;
    std::string work;
    std::size_t rows = 1000000;
    int runs = 3;
    int find_runs = 21;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) {
            return Usage();
        }
        const std::string value = argv[++i];
        if (arg == "--cli") {
            cli = value;
        } else if (arg == "--data") {
            data = value;
        } else if (arg == "--work") {
            work = value;
        } else if (arg == "--rows") {
            rows = std::strtoul(value.c_str(), nullptr, 10);
        } else if (arg == "--runs") {
            runs = std::max(1, std::atoi(value.c_str()));
        } else if (arg == "--find-runs") {
            find_runs = std::max(1, std::atoi(value.c_str()));
        } else {
            return Usage();
        }
    }
    if (cli.empty() || data.empty()) {
        return Usage();
    }
    cli = std::filesystem::absolute(cli).string();
    data = std::filesystem::absolute(data).string();
    if (work.empty()) {
        work = (std::filesystem::temp_directory_path() / "korvallestin-cli-bench").string();
    }
    std::filesystem::create_directories(work);
    const std::string list = work + "/addresses.csv";
    const std::string misspelled = work + "/misspelled.csv";
    const std::string none = work + "/no-rows.csv";
    const std::string damaged = work + "/damaged.csv";
    const std::string long_row = work + "/long-row.csv";
    const std::string checked = work + "/checked.csv";
    const std::string err = work + "/stderr.txt";

    const AddressListCounts counts = GenerateAddressList(data, list, rows, misspelled);
    const AddressListCounts damage = GenerateDamagedList(data, damaged, rows);
    if (!counts.error.empty() || !damage.error.empty() ||
        !GenerateAddressList(data, none, 0, "").error.empty()) {
        std::fprintf(stderr, "cannot make the address lists: %s%s\n", counts.error.c_str(),
                     damage.error.c_str());
        return 2;
    }
    {
        // A locality of a million characters, words of a real name.
        std::ofstream out(long_row, std::ios::binary);
        std::string locality;
        while (locality.size() < 1000000) {
            locality += "Sydney ";
        }
        out << "Name,Street,Suburb,State,Postcode\r\nA,1 High Street," << locality
            << ",NSW,2000\r\n";
    }
    const double list_mb = static_cast<double>(std::filesystem::file_size(list)) / 1e6;
    std::printf("korvallestin-cli %s\ndata %s\n\n", cli.c_str(), data.c_str());

    // check: every row, then the misspelled rows alone, then no row.
    const std::vector<std::string> check = {cli, "check", "--data", data, list};
    const auto all = Repeat(check, runs, checked, err, {0, 1});
    if (!all) {
        return 2;
    }
    const std::map<std::string, std::size_t> verdicts = CountVerdicts(checked);
    const auto only_misspelled =
        Repeat({cli, "check", "--data", data, misspelled}, runs, "/dev/null", err, {0, 1});
    const auto no_rows =
        Repeat({cli, "check", "--data", data, none}, runs, "/dev/null", err, {0, 1});
    if (!only_misspelled || !no_rows) {
        return 2;
    }
    const double s_all = MedianSeconds(*all);
    const double peak = MedianPeakMb(*all);
    const double s_miss = MedianSeconds(*only_misspelled);
    const double s_none = MedianSeconds(*no_rows);
    std::printf(
        "check, %s rows (%.1f MB; %s right, %s wrong postcode, %s misspelled), median of "
        "%d:\n",
        Thousands(static_cast<double>(counts.rows)).c_str(), list_mb,
        Thousands(static_cast<double>(counts.right)).c_str(),
        Thousands(static_cast<double>(counts.wrong_postcode)).c_str(),
        Thousands(static_cast<double>(counts.misspelled)).c_str(), runs);
    std::printf("  %-22s %10.3f s    (target at most 3 s) %s\n", "wall time", s_all,
                s_all <= 3.0 ? "met" : "MISSED");
    std::printf("  %-22s %10.3f s    (user and system; the machine is shared)\n", "processor time",
                MedianCpuSeconds(*all));
    std::printf("  %-22s %10s\n", "rows per second",
                Thousands(static_cast<double>(counts.rows) / s_all).c_str());
    std::printf("  %-22s %10.1f MB   (target at most 200 MB) %s\n", "peak memory", peak,
                peak <= 200.0 ? "met" : "MISSED");
    const double cpu_miss = MedianCpuSeconds(*only_misspelled) - MedianCpuSeconds(*no_rows);
    std::printf(
        "  misspelled rows alone: %s rows in %.3f s; a list of no row %.3f s; so the\n"
        "  misspelled rows take %.3f s, %.3f s of processor time (%s rows per processor "
        "second)\n",
        Thousands(static_cast<double>(counts.misspelled)).c_str(), s_miss, s_none, s_miss - s_none,
        cpu_miss,
        cpu_miss > 0 ? Thousands(static_cast<double>(counts.misspelled) / cpu_miss).c_str() : "-");
    std::printf("  verdicts:");
    for (const auto& [verdict, n] : verdicts) {
        std::printf(" %s %s;", verdict.c_str(), Thousands(static_cast<double>(n)).c_str());
    }
    std::printf("\n");
    std::map<std::string, std::size_t> expected = {{"ok", counts.right},
                                                   {"wrong-postcode", counts.wrong_postcode},
                                                   {"unknown-locality", counts.misspelled}};
    std::erase_if(expected, [](const auto& kv) { return kv.second == 0; });
    const bool verdicts_right = verdicts == expected;
    if (!verdicts_right) {
        std::printf(
            "  THE VERDICTS DIFFER from the list's make-up (ok %zu, wrong-postcode %zu, "
            "unknown-locality %zu)\n",
            counts.right, counts.wrong_postcode, counts.misspelled);
    }

    // check --fix of the damaged list, and of the one long row.
    const auto fixed =
        Repeat({cli, "check", "--fix", "--data", data, damaged}, runs, checked, err, {0, 1});
    if (!fixed) {
        return 2;
    }
    const std::map<std::string, std::size_t> fixed_verdicts = CountVerdicts(checked);
    const auto long_runs =
        Repeat({cli, "check", "--data", data, long_row}, runs, "/dev/null", err, {0, 1});
    if (!long_runs) {
        return 2;
    }
    const double s_fixed = MedianSeconds(*fixed);
    const double peak_fixed = MedianPeakMb(*fixed);
    std::printf(
        "\ncheck --fix, %s rows (%s right, %s postcodes with the leading zero dropped, %s "
        "typographic apostrophes and dashes), median of %d:\n",
        Thousands(static_cast<double>(damage.rows)).c_str(),
        Thousands(static_cast<double>(damage.right)).c_str(),
        Thousands(static_cast<double>(damage.dropped_zero)).c_str(),
        Thousands(static_cast<double>(damage.typographic)).c_str(), runs);
    std::printf("  %-22s %10.3f s    (target at most 3 s) %s\n", "wall time", s_fixed,
                s_fixed <= 3.0 ? "met" : "MISSED");
    std::printf("  %-22s %10.3f s\n", "processor time", MedianCpuSeconds(*fixed));
    std::printf("  %-22s %10s\n", "rows per second",
                Thousands(static_cast<double>(damage.rows) / s_fixed).c_str());
    std::printf("  %-22s %10.1f MB   (target at most 200 MB) %s\n", "peak memory", peak_fixed,
                peak_fixed <= 200.0 ? "met" : "MISSED");
    std::printf("  verdicts:");
    for (const auto& [verdict, n] : fixed_verdicts) {
        std::printf(" %s %s;", verdict.c_str(), Thousands(static_cast<double>(n)).c_str());
    }
    std::printf("\n");
    std::map<std::string, std::size_t> expected_fixed = {
        {"ok", damage.right}, {"fixed", damage.dropped_zero + damage.typographic}};
    std::erase_if(expected_fixed, [](const auto& kv) { return kv.second == 0; });
    const bool fixed_right = fixed_verdicts == expected_fixed;
    if (!fixed_right) {
        std::printf("  THE VERDICTS DIFFER from the list's make-up (ok %zu, fixed %zu)\n",
                    damage.right, damage.dropped_zero + damage.typographic);
    }
    const double s_long = MedianSeconds(*long_runs) - s_none;
    std::printf(
        "\ncheck of one row whose locality is 1,000,000 characters, less a list of no "
        "row: %.1f ms\n",
        s_long * 1e3);

    // find: every record to a pipe, beside reading the file and writing
    // nothing; the two take turns, so that a burst of other work on the
    // machine falls on both alike.
    std::vector<Run> find_all_runs;
    std::vector<Run> find_none_runs;
    const std::string absent = AbsentPostcode(data);
    for (int i = 0; i < find_runs; ++i) {
        const auto a = Repeat({cli, "find", "--data", data}, 1, "", err, {0});
        const auto b = Repeat({cli, "find", "--data", data, "--postcode", absent}, 1, "", err, {1});
        if (!a || !b) {
            return 2;
        }
        find_all_runs.push_back(a->front());
        find_none_runs.push_back(b->front());
    }
    const std::vector<Run>* const find_all = &find_all_runs;
    const std::vector<Run>* const find_none = &find_none_runs;
    std::vector<double> reads;
    reads.reserve(static_cast<std::size_t>(find_runs));
    long records = 0;
    for (int i = 0; i < find_runs; ++i) {
        reads.push_back(ReadFileSeconds(data, records));
    }
    const double s_find = MedianSeconds(*find_all);
    const double s_read = MedianSeconds(*find_none);
    const double s_reader = Median(reads);
    std::printf("\nfind, all criteria empty, %s records, median of %d:\n",
                Thousands(static_cast<double>(records)).c_str(), find_runs);
    const std::string to_pipe =
        "to a pipe (" + Thousands(static_cast<double>(find_all->front().bytes_out)) + " bytes)";
    std::printf("  %-44s %8.1f ms   (processor %.1f ms)\n", to_pipe.c_str(), s_find * 1e3,
                MedianCpuSeconds(*find_all) * 1e3);
    std::printf("  %-44s %8.1f ms   (processor %.1f ms)\n",
                "reading the file alone (no record matches)", s_read * 1e3,
                MedianCpuSeconds(*find_none) * 1e3);
    std::printf("  %-44s %8.2f    (target at most 1.5) %s\n", "ratio", s_find / s_read,
                s_find / s_read <= 1.5 ? "met" : "MISSED");
    std::printf("  %-44s %8.1f ms\n", "the data reader in this process, no start-up",
                s_reader * 1e3);
    return verdicts_right && fixed_right ? 0 : 1;
}
