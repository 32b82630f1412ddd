// Entry point of every Windows test program.
#include <windows.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // The first memory DC permanently takes handles for cached objects; take
  // them now so that headroom probes in the tests compare like with like.
  ::DeleteDC(::CreateCompatibleDC(nullptr));
  // No error boxes from a crashing test: they would wait for a click forever.
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
