// Runs the tester against the simulator over a pseudo-terminal for a few hundred requests and
// reports the pause between the end of each answer and the next request, as the simulator saw
// it on the line, and the CPU time the tester's process used for the run.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "common/process_cpu.h"
#include "e2e_rig.h"
#include "line_checks.h"

int main(int argc, char** argv) {
  using namespace m797::e2e;
  const std::size_t requests = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 220;
  E2eRig rig({"--type", "2"});
  m797::bench::CpuMeter cpu;
  if (!rig.Start()) {
    std::fprintf(stderr, "the port did not open\n");
    return 1;
  }
  if (!rig.WaitForRequests(requests, std::chrono::minutes(5))) {
    std::fprintf(stderr, "only %zu requests arrived\n", rig.Requests().size());
    return 1;
  }
  rig.Stop();
  cpu.Stop();
  std::vector<double> pauses = PausesAfterAnswers(rig.sim->Frames());
  std::sort(pauses.begin(), pauses.end());
  auto at = [&](double q) { return pauses[static_cast<std::size_t>(q * (pauses.size() - 1))]; };
  std::printf("pause from the end of an answer to the next request, %zu requests\n", pauses.size());
  std::printf("min %.3f ms  median %.3f ms  p99 %.3f ms  max %.3f ms\n", pauses.front(), at(0.5),
              at(0.99), pauses.back());
  cpu.Print();
  return 0;
}
