// plugsetup: the vendor's tool that builds and checks setup programs.
#include <iostream>

#include "tools/plugsetup/host/HostProcess.h"
#include "tools/plugsetup/Tool.h"

int main(int argc, char** argv) {
    Utf8Console console;
    std::vector<std::string> args = HostArguments(argc, argv);
    ToolEnvironment env = DefaultEnvironment(std::cout, std::cerr);
    int status = RunPlugsetup(args, env);
    std::cout.flush();
    return status;
}
