#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/runner.h"
#include "commands/registry.h"
#if defined(__EMSCRIPTEN__)
#include "cli/node_streams.h"
#endif

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  // A reader that goes away early (`| head`) makes the write fail with EPIPE,
  // which is reported like any other failed write (exit status 1), instead
  // of ending the program without a word.
  std::signal(SIGPIPE, SIG_IGN);
  // Likewise a write beyond the file-size limit (ulimit -f) fails with EFBIG
  // and is reported, where the signal would end the program silently.
  std::signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
#if defined(__EMSCRIPTEN__)
  // Under node the standard streams and the file-creation mask are node's
  // own, as natively the system's.
  matcalc::AdoptNodeCreationMask();
  const matcalc::CliStreams streams{
      matcalc::ReadNodeInput,     matcalc::WriteNodeOutput,   std::cerr,
      matcalc::kLargestTextBytes, matcalc::NodeInputIdentity, matcalc::NodeWorkScale};
  return matcalc::RunCli(args, streams);
#else
  return matcalc::RunCliOnDescriptors(args, 0, 1, std::cerr, matcalc::RunnerWorkScale);
#endif
}
