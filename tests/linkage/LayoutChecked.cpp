// Whether include/IVomaxel.h checked the host records' layouts in this build:
// its assertions cover the architectures they name and pass over the others.
// The argument is the "layout" column of the target's row of
// cmake/architectures.txt (empty when it has no row).
#include <cstdio>
#include <cstring>

#include "IVomaxel.h"

int main(int argc, char** argv) {
  const bool listed = argc > 1 && std::strcmp(argv[1], "yes") == 0;
#ifdef VOMAXEL_LAYOUT_CHECKED
  const bool checked = true;
#else
  const bool checked = false;
#endif
  if (!checked) {
    std::puts("IVomaxel.h's layout assertions do not cover this architecture: add its layouts there");
  } else if (!listed) {
    std::puts("IVomaxel.h's layout assertions cover this architecture: say so in its row of "
              "cmake/architectures.txt");
  }
  return checked && listed ? 0 : 1;
}
