// The indexer program: its command-line arguments are answered first
// (--help, --version); a start without arguments is a run, in driver::Main.
#include "driver/command_line.h"
#include "driver/run.h"

int main(int argc, char** argv) {
  if (auto status = driver::AnswerArguments(argc, argv, INDEXER_PROGRAM_NAME)) return *status;
  return driver::Main(argc, argv, INDEXER_PROGRAM_NAME);
}
