// The WebAssembly runner's standard input and output, read and written
// through node's own file functions, so that they fail as the native
// runner's do: a closed descriptor, a full device, a reader gone away, a
// file-size limit each give the system's reason.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "cli/runner.h"

namespace matcalc {

InputBytes ReadNodeInput(std::size_t limit);
std::string WriteNodeOutput(std::string_view bytes);
std::optional<FileIdentity> NodeInputIdentity();
// RunnerWorkScale with node's environment.
double NodeWorkScale();

}  // namespace matcalc
