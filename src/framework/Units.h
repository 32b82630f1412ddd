// The library's process-wide state, started and ended in one chosen order.
// Each layer that keeps unit-level objects (the application and the screen,
// the menu registrations, and the engine's lists, image lists, tables and
// hook as they come) has one unit. The units are listed in one table,
// bottom layer first (src/LibraryUnits.cpp), so that a static link can never
// leave one out; they start before main, in that order, and end in reverse
// after the application's forms have been freed.
#pragma once

#include <cstddef>

namespace nuvskin {

struct UnitEntry {
  const char* name;
  void (*initialize)();
  void (*finalize)();
};

// Starts every unit not yet started (the library does this before main).
void InitializeUnits();

// Ends the library: frees the components the application owns (its forms,
// and with the main form the engine) while every unit is whole, then ends the
// units in reverse order. Runs once; the library calls it when the program
// ends, after main returns. A program may call it earlier itself, as the
// last thing it does.
void FinalizeUnits();

// True from InitializeUnits until FinalizeUnits begins.
bool UnitsRunning();

// A unit of the application's own, started now and ended before the
// library's units (after the forms). Register it from main, not from a
// static initializer.
void RegisterUnit(const UnitEntry& unit);

// The library's units in start order (src/LibraryUnits.cpp).
extern const UnitEntry kLibraryUnits[];
extern const std::size_t kLibraryUnitCount;

}  // namespace nuvskin
