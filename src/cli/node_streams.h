// The WebAssembly runner's standard input and output, read and written
// through node's own file functions, so that they fail as the native
// runner's do: a full device, a reader gone away, a file-size limit each
// give the system's reason. (A standard stream closed when node started is
// /dev/null by then: node opens it there, for reading and writing, as a
// shell's `<>/dev/null` does, and nothing tells the two apart.)
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
// Gives the C library node's file-creation mask: its own starts as 0777, so
// that every file the runner creates would have no permissions at all.
void AdoptNodeCreationMask();
// RunnerWorkScale with node's environment.
double NodeWorkScale();

}  // namespace matcalc
