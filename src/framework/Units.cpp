#include "framework/Units.h"

#include <vector>

#include "framework/Forms.h"

namespace nuvskin {

namespace {

enum class Phase { kNotStarted, kRunning, kEnding, kEnded };

Phase gPhase = Phase::kNotStarted;
std::size_t gStarted = 0;  // library units started, from the first

// The application's units, in registration order. Never destroyed: the
// library ends after static destructors may have run.
std::vector<UnitEntry>& ApplicationUnits() {
  static auto* units = new std::vector<UnitEntry>;
  return *units;
}

}  // namespace


namespace {

// Each step of the start and the end runs whatever the others did: they
// run from a static constructor and destructor, where an exception would
// end the program.
template <class F>
void RunStep(F&& step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace

void InitializeUnits() {
  if (gPhase != Phase::kNotStarted) return;
  gPhase = Phase::kRunning;
  // Before main an exception would end the program unseen: a unit that
  // fails keeps what it made and ends like the others; what needs the rest
  // says so when used.
  for (; gStarted < kLibraryUnitCount; ++gStarted)
    if (kLibraryUnits[gStarted].initialize) RunStep(kLibraryUnits[gStarted].initialize);
}

void FinalizeUnits() {
  if (gPhase != Phase::kRunning) return;
  gPhase = Phase::kEnding;
  // The forms (and what they own) go while everything they use is whole.
  RunStep([] {
    if (Application) Application->DestroyComponents();
  });
  auto& own = ApplicationUnits();
  while (!own.empty()) {
    const UnitEntry unit = own.back();
    own.pop_back();
    if (unit.finalize) RunStep(unit.finalize);
  }
  while (gStarted > 0) {
    --gStarted;
    if (kLibraryUnits[gStarted].finalize) RunStep(kLibraryUnits[gStarted].finalize);
  }
  gPhase = Phase::kEnded;
}

bool UnitsRunning() { return gPhase == Phase::kRunning; }

void RegisterUnit(const UnitEntry& unit) {
  InitializeUnits();
  if (gPhase != Phase::kRunning) return;
  if (unit.initialize) unit.initialize();
  ApplicationUnits().push_back(unit);
}

namespace {

// The library's own lifetime: the one static object that starts and ends
// it. It lives in this file, which the application object pulls into every
// program.
struct LibraryLifetime {
  LibraryLifetime() { InitializeUnits(); }
  ~LibraryLifetime() { FinalizeUnits(); }
  LibraryLifetime(const LibraryLifetime&) = delete;
  LibraryLifetime& operator=(const LibraryLifetime&) = delete;
};
LibraryLifetime gLibraryLifetime;

}  // namespace

}  // namespace nuvskin
