#include "driver/workspace.h"

namespace driver {

void PrepareOutputAndInput(RunContext& /*run*/) {}
void PrepareWorkFolders(RunContext& /*run*/) {}
void CleanLeftovers(RunContext& /*run*/) {}
void RemoveOutputFolder(RunContext& /*run*/) {}
void CreateIndexFolders(RunContext& /*run*/) {}

}  // namespace driver
