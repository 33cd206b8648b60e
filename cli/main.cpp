#include "Cli.h"
#include "modules/BuiltInModules.h"

#include <iostream>

int main(int argc, char** argv) {
    return RunCli(argc, argv, GetBuiltInModules(), std::cout, std::cerr);
}
