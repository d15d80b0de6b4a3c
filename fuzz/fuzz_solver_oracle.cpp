// Differential fuzzer of ZRMLSQSolver against the dense oracle (tests/support/ZRMSolverOracle.h):
// the input picks a generated problem (seed, kind of planted fault, 1 to 200 variables, share of
// hard rows, ordering) and the oracle's rule decides what the solver must make of it. Its
// replay is the oracle's test of the solver.
#include "FuzzSupport.h"
#include "ZRMSolverOracle.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  zrmtest::Random random(input.ConsumeIntegral<std::uint64_t>());
  const zrmtest::Kind kind = zrmtest::kKinds[input.ConsumeIntegralInRange<int>(0, 5)];
  const int count = input.ConsumeIntegralInRange<int>(1, 200);
  const double hardShare = input.ConsumeFloatingPointInRange<double>(0.0, 0.4);
  const ZRMLSQOrdering ordering = input.ConsumeBool() ? ZRMLSQOrdering::FillReducing : ZRMLSQOrdering::AsGiven;
  zrmtest::AssertRecorder recorder(0);  // rejected matrices report
  const std::string disagreement =
      zrmtest::OracleDisagreement(zrmtest::Generate(random, kind, count, hardShare), kind, ordering);
  if (!disagreement.empty()) zrmfuzz::Fail(__FILE__, __LINE__, disagreement.c_str());
  return 0;
}
