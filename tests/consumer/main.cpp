#include <cstdio>
#include <cstring>

#include "Version.h"

int main() {
  const char* version = nuvskin::LibraryVersion();
  std::printf("nuvskin %s\n", version);
  return std::strlen(version) > 0 ? 0 : 1;
}
