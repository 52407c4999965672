// Saves settings over and over into the app container given as the first argument, until it is
// killed. With a file-size limit, the kernel stops it with SIGXFSZ in the middle of the first
// write that passes the limit.
#include <sys/resource.h>

#include <cstdio>
#include <string>

#include "Foundation/AppContainer.h"
#include "GeneralTools/DataSource.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: SettingsWriter <container> <entries> <file size limit or 0>\n");
    return 2;
  }
  platform::AppContainer::setRootOverride(std::string(argv[1]));
  int entries = std::stoi(argv[2]);
  DataSource store;  // loads (and tidies) before the limit applies
  if (rlim_t limit = std::stoul(argv[3])) {
    rlimit fileSize{limit, limit};
    setrlimit(RLIMIT_FSIZE, &fileSize);
  }
  platform::Dictionary& data = store.dictionary();
  for (long generation = 1;; ++generation) {
    platform::Dictionary map;
    for (int i = 0; i < entries; ++i)
      map.emplace("name_" + std::to_string(i), "value " + std::to_string(generation));
    data["map"] = std::move(map);
    data["generation"] = generation;
    store.saveData();
  }
}
