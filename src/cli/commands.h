#pragma once
// One function a command of movra-cli. Each takes the arguments after the command word
// (argv[0] is the command word itself) and returns the process exit status.

namespace movra::cli {

int RunSfen(int argc, char** argv);
int RunMate(int argc, char** argv);

}  // namespace movra::cli
