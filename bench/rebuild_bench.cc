// `tallybook-admin rebuild` of a transaction file of 200,000 records with
// its six keys (bench_company.h builds it), run in-process through the admin
// command table, as the program rebuilds a file after an unclean close:
// reorganise the data file, then build every key afresh. Prints the CPU and
// wall time of each run and their medians.
//
//   rebuild_bench [--runs=N]   (default 3)
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/admin_commands.h"
#include "bench/bench_company.h"
#include "bench/bench_timing.h"

int main(int argc, char** argv) {
  using namespace tallybook::bench;
  int runs = 3;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--runs=", 0) == 0) {
      runs = std::max(1, std::atoi(arg.c_str() + 7));
    } else {
      std::fprintf(stderr, "rebuild_bench: unknown option %s\n", arg.c_str());
      return 2;
    }
  }
  std::string dir =
      (std::filesystem::temp_directory_path() / "rebuild_bench.XXXXXX")
          .string();
  if (::mkdtemp(dir.data()) == nullptr) {
    std::perror("rebuild_bench: mkdtemp");
    return 1;
  }
  std::cout << "building 10,000 customers and 200,000 transactions...\n";
  int status = 0;
  if (!BuildCompany(dir, tallybook::company::Date{2024, 6, 15})) {
    std::cerr << "rebuild_bench: could not build the company in " << dir
              << "\n";
    status = 1;
  }
  std::vector<Spent> spent;
  for (int run = 1; run <= runs && status == 0; ++run) {
    std::ostringstream out, err;
    Stopwatch watch;
    const int code = tallybook::admin::RunAdmin({"rebuild", dir, "1I"}, out,
                                                err);
    const Spent s = watch.Elapsed();
    if (code != tallybook::admin::kExitOk) {
      std::cerr << "rebuild_bench: rebuild failed:\n" << err.str();
      status = 1;
      break;
    }
    spent.push_back(s);
    std::printf("run %d  %8.1f ms cpu %8.1f ms wall\n", run, s.cpu * 1000,
                s.wall * 1000);
    std::fflush(stdout);
  }
  if (status == 0) {
    const Spent m = MedianOf(spent);
    std::printf("\nrebuild of 200,000 transactions (six keys), median of %d "
                "runs: %.1f ms cpu, %.1f ms wall\n",
                runs, m.cpu * 1000, m.wall * 1000);
  }
  std::filesystem::remove_all(dir);
  return status;
}
