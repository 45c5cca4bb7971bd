// Prints the code page the console shows output in (0 when the process has
// no console). scripts/windows-test runs it in a console after the console
// program has ended, to see that the code page it found came back.
//
//     console_code_page
#include <windows.h>

#include <cstdio>

int main() {
    std::printf("%u\n", ::GetConsoleOutputCP());
    return 0;
}
