// plugsetup: the vendor's tool that builds and checks setup programs.
#include <iostream>

#include "tools/plugsetup/Tool.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    ToolEnvironment env = DefaultEnvironment(std::cout, std::cerr);
    int status = RunPlugsetup(args, env);
    std::cout.flush();
    return status;
}
