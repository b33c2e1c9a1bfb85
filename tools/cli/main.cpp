#include <malloc.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "image_io.h"
#include "tool.h"

int main(int argc, char** argv) {
  // Frames are megabytes each and come and go at the pace of the shot. Left alone, the allocator
  // unmaps each one when it is freed and maps fresh pages for the next, and every unmapping makes
  // the other cores flush their address caches: a second thread then barely helps. Blocks of up to
  // 32 MiB (the most it allows) and freed memory up to 512 MiB stay in the process instead.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
  tessaline::cli::InstallInterruptCleanup();  // no half-written temporary is left behind on Ctrl-C
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return tessaline::cli::Run(args, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
