#include "cli.h"

int main(int argc, char** argv) { return plughost::Main(argc, argv); }
