// The indexer program: everything happens in driver::Main.
#include "driver/run.h"

int main(int argc, char** argv) { return driver::Main(argc, argv, INDEXER_PROGRAM_NAME); }
