// Robustness fuzzer of ZRMLSQSolver: any sequence of calls with any values, in both orderings.
//
// The input is a sequence of calls on one or two solvers: registrations with NaN, infinite,
// huge, tiny and negative coefficients, empty maps, duplicate and contradictory rows, extreme
// ids; SetRhs of known and unknown ids; Factor, Solve and GetResult in every order;
// re-registration between solves; a solver destroyed and rebuilt midway. Nothing may crash,
// leak or touch memory it should not (the sanitizers watch), and the documented contract holds:
//   - only the three documented checks are ever reported;
//   - Solve refuses (and leaves no result) unless the last Factor succeeded and nothing was
//     registered since, except on a solver without constraints, which solves to no results;
//   - after a successful Solve, GetResult reads exactly the values held, and a second Solve
//     gives them again bit for bit;
//   - GetResult of a variable without a value reports "Wrong variable id." and gives NaN.
#include "FuzzSupport.h"
#include "ZRMLSQSolver.h"
#include "ZRMSolverRecords.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Coefficients = ZRMUtMap<int, double, ZRMUtLess<int>>;

int AnyId(FuzzedDataProvider& input) {
  static const int kIds[] = {0, 1, -1, 2, 3, INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN + 1, 1 << 30};
  return input.ConsumeBool() ? kIds[input.ConsumeIntegralInRange<int>(0, 9)] : input.ConsumeIntegral<int>();
}

double AnyValue(FuzzedDataProvider& input) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kMax = std::numeric_limits<double>::max();
  constexpr double kTiny = std::numeric_limits<double>::denorm_min();
  static const double kValues[] = {0.0,   -0.0, 1.0,  -1.0,  1e-300, 1e300, -1e300, 1e-11,
                                   kTiny, kMax, kInf, -kInf, kNaN,   2.0,   0.5};
  if (input.ConsumeBool()) return kValues[input.ConsumeIntegralInRange<int>(0, 14)];
  return input.ConsumeFloatingPoint<double>();
}

Coefficients AnyCoefficients(FuzzedDataProvider& input) {
  Coefficients coefficients;
  const int count = input.ConsumeIntegralInRange<int>(0, 5);
  for (int i = 0; i < count; ++i) coefficients[AnyId(input)] = AnyValue(input);
  return coefficients;
}

bool IsDocumentedReport(const zrmtest::AssertReport& report) {
  if (report.kind == zrmtest::AssertReport::Runtime) return true;  // the wide twin of a failure report
  return report.message == "No constraint" || report.message == "Wrong variable id." ||
         report.message == "Not positive definite matrix (or ill-conditioned)";
}

// One solver and what the caller may expect of it.
struct Tracked {
  std::unique_ptr<ZRMLSQSolver> solver{new ZRMLSQSolver()};
  bool registered = false;  // at least one constraint
  bool factorCurrent = false;
  ZRMLSQOrdering ordering = ZRMLSQOrdering::AsGiven;
};

// Diagnose runs on anything and leaves the results as they were; after a successful Factor it
// finds nothing dependent and nothing a soft row misses.
void Diagnose(Tracked& tracked) {
  const auto before = zrmtest::ResultBits(*tracked.solver);
  ZRMLSQDiagnosis diagnosis;
  ZRM_FUZZ_CHECK(tracked.solver->Diagnose(diagnosis));
  ZRM_FUZZ_CHECK(zrmtest::ResultBits(*tracked.solver) == before);
  for (const ZRMUtVector<int>* list : {&diagnosis.mRedundant, &diagnosis.mConflicting, &diagnosis.mRedundantUnnamed,
                                       &diagnosis.mConflictingUnnamed, &diagnosis.mWithoutSoftRow})
    ZRM_FUZZ_CHECK(!tracked.factorCurrent || list->IsEmpty());
}

void Register(FuzzedDataProvider& input, Tracked& tracked) {
  const bool hard = input.ConsumeBool();
  const Coefficients coefficients = AnyCoefficients(input);
  if (input.ConsumeBool())
    tracked.solver->AddConstraint(hard, coefficients, AnyId(input));
  else
    tracked.solver->AddConstraint(hard, AnyValue(input), coefficients);
  tracked.registered = true;
  tracked.factorCurrent = false;
}

// SetRhs: for an id without a constraint it registers one, which calls for a new Factor.
void SetRhs(FuzzedDataProvider& input, Tracked& tracked) {
  const int id = AnyId(input);
  const bool known = zrmtest::StateOf(*tracked.solver).mStore.FindNamed(id) != IdIndex::kAbsent;
  tracked.solver->SetRhs(id, AnyValue(input));
  if (!known) {
    tracked.registered = true;
    tracked.factorCurrent = false;
  }
}

void Factor(Tracked& tracked) { tracked.factorCurrent = tracked.solver->Factor(); }

void Solve(Tracked& tracked) {
  const bool solved = tracked.solver->Solve();
  const bool expected = tracked.factorCurrent || !tracked.registered;
  ZRM_FUZZ_CHECK(solved == expected);
  if (!solved || !tracked.registered) {
    ZRM_FUZZ_CHECK(zrmtest::ResultBits(*tracked.solver).empty());
    return;
  }
  const auto first = zrmtest::ResultBits(*tracked.solver);
  ZRM_FUZZ_CHECK(tracked.solver->Solve());
  ZRM_FUZZ_CHECK(zrmtest::ResultBits(*tracked.solver) == first);
}

// GetResult of a held variable gives its value (bit for bit); of any other it reports and
// gives NaN.
void GetResult(FuzzedDataProvider& input, Tracked& tracked, zrmtest::AssertRecorder& recorder) {
  const auto bits = zrmtest::ResultBits(*tracked.solver);
  const std::map<int, std::uint64_t> results(bits.begin(), bits.end());
  int variable = AnyId(input);
  if (!bits.empty() && input.ConsumeBool())
    variable = bits[input.ConsumeIntegralInRange<std::size_t>(0, bits.size() - 1)].first;
  const auto found = results.find(variable);
  const std::size_t before = recorder.reports.size();
  const double value = tracked.solver->GetResult(variable);
  const bool held = found != results.end();
  ZRM_FUZZ_CHECK(held ? zrmtest::Bits(value) == found->second : std::isnan(value));
  ZRM_FUZZ_CHECK(held ? recorder.reports.size() == before
                      : recorder.reports.size() > before && recorder.reports[before].message == "Wrong variable id.");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  zrmtest::AssertRecorder recorder(input.ConsumeBool() ? 1 : 0);
  Tracked solvers[2];
  while (input.remaining_bytes() > 0) {
    Tracked& tracked = solvers[input.ConsumeIntegralInRange<int>(0, 1)];
    switch (input.ConsumeIntegralInRange<int>(0, 9)) {
      case 0:
      case 1: Register(input, tracked); break;
      case 2: SetRhs(input, tracked); break;
      case 3: Factor(tracked); break;
      case 4: Solve(tracked); break;
      case 5: GetResult(input, tracked, recorder); break;
      case 6: tracked = Tracked(); break;  // destroyed and rebuilt
      case 7: {                            // a change of ordering ends the factorization; setting the same one does not
        const ZRMLSQOrdering ordering = input.ConsumeBool() ? ZRMLSQOrdering::FillReducing : ZRMLSQOrdering::AsGiven;
        tracked.solver->SetOrdering(ordering);
        tracked.factorCurrent = tracked.factorCurrent && ordering == tracked.ordering;
        tracked.ordering = ordering;
        break;
      }
      case 8: Diagnose(tracked); break;
      default:
        Factor(tracked);
        Solve(tracked);
        break;
    }
  }
  for (const zrmtest::AssertReport& report : recorder.reports) ZRM_FUZZ_CHECK(IsDocumentedReport(report));
  return 0;
}
