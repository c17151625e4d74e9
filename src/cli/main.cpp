#include "CliApp.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    kintra::cli::LineMessageHost messages(std::cerr);
    return kintra::cli::RunCli(args, std::cout, std::cerr, messages);
}
