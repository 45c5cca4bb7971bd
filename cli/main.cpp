// korvallestin-cli: look-ups and address-list checks on the console.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "check_command.h"
#include "command_line.h"
#include "find_command.h"
#include "import_command.h"
#include "list_reader.h"
#include "output.h"
#include "platform.h"

namespace {

// The status when the reader of standard output has gone (`... | head`):
// what a shell reports for a program that SIGPIPE ended (128 + 13), on every
// system. Nothing more is said on standard error.
constexpr int kReaderGone = 141;

}  // namespace

int main(int argc, char* argv[]) {
    using namespace korvallestin;
    PrepareConsoleStreams();
    // Full blocks to a file or pipe; a terminal sees each line as it comes,
    // flushed by the output itself (the Windows runtime has no line
    // buffering).
    static char out_buffer[1 << 16];
    const bool terminal = StandardOutputIsTerminal();
    std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);
    StreamOutput out(stdout, terminal);
    StreamOutput err(stderr);

    const ParsedCommandLine parsed = ParseCommandLine(CommandLineArguments(argc, argv));
    if (!parsed.error.empty()) {
        err.Write("korvallestin-cli: " + parsed.error +
                  "\nTry 'korvallestin-cli --help' for more information.\n");
        return 2;
    }
    const CliOptions& options = parsed.options;
    int status = 2;
    if (options.help || options.version) {
        out.Write(options.help ? HelpText(options.command) : VersionText());
        status = 0;
    } else if (options.command == CliCommand::Find) {
        status = RunFind(options, out, err);
    } else if (options.command == CliCommand::ImportData) {
        status = RunImportData(options, ProgramFolder(), out, err);
    } else {
        StreamSource in(stdin);
        const auto start = std::chrono::steady_clock::now();
        CheckEnvironment environment;
        environment.seconds = [start] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        };
        environment.input_on_terminal = StandardInputIsTerminal();
        // The progress line on a terminal, never among rows on that terminal.
        environment.progress_on_terminal =
            StandardErrorIsTerminal() && (!terminal || !options.check.output.empty());
        status = RunCheck(options, in, out, err, environment);
    }
    const bool flushed = out.Flush();
    if (out.ReaderGone()) {
        return kReaderGone;
    }
    if (!flushed && status != 2) {
        err.Write("korvallestin-cli: cannot write the output\n");
        status = 2;
    }
    return status;
}
