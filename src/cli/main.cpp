#include "CliApp.h"

#include <csignal>
#include <iostream>

int main(int argc, char** argv) {
    // Under a file-size limit a write then fails with EFBIG, which a save reports, instead of
    // killing the program halfway through.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    kintra::cli::LineMessageHost messages(std::cerr);
    return kintra::cli::RunCli(args, std::cout, std::cerr, messages);
}
