#include "GeneralTools/AdsConfiguration.h"

namespace {

AdsConfiguration& installed() {
  static AdsConfiguration configuration;
  return configuration;
}

}  // namespace

const AdsConfiguration& AdsConfiguration::current() {
  return installed();
}

void AdsConfiguration::setCurrent(AdsConfiguration configuration) {
  installed() = std::move(configuration);
}
