// Prints the folder the program finds itself in (the one it reads its data
// from) and the name it was started by, one per line. The program folder
// tests start it through links and from other working directories.

#include <cstdio>

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    const char* started_as = argc > 0 ? argv[0] : "";
    QCoreApplication app(argc, argv);
    std::printf("%s\n%s\n", QCoreApplication::applicationDirPath().toLocal8Bit().constData(),
                started_as);
    return 0;
}
