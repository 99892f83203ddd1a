// A console program that uses the C++ runtime as MinGW-w64 links it by
// default, from libstdc++-6.dll: what ostrivane.exe would be without its
// GUI-subsystem and static-linking options. check-imports.sh must reject it.
#include <iostream>

int main() {
    std::cout << "probe\n";
    return 0;
}
