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

int main(int argc, char* argv[]) {
    using namespace korvallestin;
    PrepareConsoleStreams();
    // Full blocks to a file or pipe; a terminal sees each line as it comes.
    static char out_buffer[1 << 16];
    const bool terminal = StandardOutputIsTerminal();
    std::setvbuf(stdout, out_buffer, terminal ? _IOLBF : _IOFBF, sizeof out_buffer);
    StreamOutput out(stdout, terminal);
    StreamOutput err(stderr);

    const ParsedCommandLine parsed = ParseCommandLine(CommandLineArguments(argc, argv));
    if (!parsed.error.empty()) {
        err.Write("korvallestin-cli: " + parsed.error +
                  "\nTry 'korvallestin-cli --help' for more information.\n");
        return 2;
    }
    const CliOptions& options = parsed.options;
    if (options.help) {
        out.Write(HelpText(options.command));
        return out.Flush() ? 0 : 2;
    }
    if (options.version) {
        out.Write(VersionText());
        return out.Flush() ? 0 : 2;
    }
    int status = 2;
    if (options.command == CliCommand::Find) {
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
        environment.progress_on_terminal = StandardErrorIsTerminal();
        environment.input_on_terminal = StandardInputIsTerminal();
        status = RunCheck(options, in, out, err, environment);
    }
    if (!out.Flush() && status != 2) {
        err.Write("korvallestin-cli: cannot write the output\n");
        status = 2;
    }
    return status;
}
