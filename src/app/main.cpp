#include <string>
#include <vector>

#include "app/program.h"

int main(int argc, char** argv) { return app::runProgram(std::vector<std::string>(argv + 1, argv + argc)); }
