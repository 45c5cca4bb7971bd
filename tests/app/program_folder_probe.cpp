// Prints the folder the program finds itself in (the one it reads its data
// from, as the main window's program location finds it) and the name it was
// started by, one per line. The program folder tests start it through links
// and from other working directories.

#include <cstdio>
#include <string>

#include <QCoreApplication>

#include "control_adapters.h"

int main(int argc, char* argv[]) {
    const char* started_as = argc > 0 ? argv[0] : "";
    const QCoreApplication app(argc, argv);
    const korvallestin::ProgramLocationAdapter location{QString()};
    std::printf("%s\n%s\n", location.ProgramFolder().c_str(), started_as);
    return 0;
}
