// tavrel6-batch: the window's actions on files named on the command line, without a screen.
#include <cstdio>
#include <iostream>
#include <new>

#include "formats/input.h"
#include "platform/error.h"
#include "shell/batch.h"

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  std::vector<std::string> args(argv + 1, argv + argc);
  tav::BatchOptions options;
  try {
    options = tav::parse_batch_options(args);
  } catch (const tav::Error& e) {
    std::cerr << "tavrel6-batch: " << e.what() << "\n";
    return 2;
  }
  if (options.help) {
    std::cout << tav::batch_usage();
    return 0;
  }
  try {
    return tav::run_batch(options, std::cerr);
  } catch (const std::bad_alloc&) {
    // Each step names its own file; this is memory running out between the steps.
    std::cerr << "tavrel6-batch: "
              << tav::too_large_for_memory(tav::shown_name(options.data)).what() << "\n";
    return tav::kBatchFailed;
  }
}
