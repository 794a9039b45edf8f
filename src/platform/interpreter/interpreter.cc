#include "platform/interpreter/interpreter.h"

namespace platform {

void Interpreter::Run(std::string_view /*line*/) {}

}  // namespace platform
