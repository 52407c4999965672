#include "LossReport.h"

namespace svgconvert {

void LossReport::add(const std::string& feature, const std::string& unit) {
  Entry& entry = _counts[feature];
  entry.unit = unit;
  ++entry.count;
}

void LossReport::addApproximate(const std::string& feature, const std::string& unit) {
  add(feature, unit);
  _counts[feature].approximate = true;
}

int LossReport::count(const std::string& feature) const {
  auto found = _counts.find(feature);
  return found == _counts.end() ? 0 : found->second.count;
}

std::vector<std::string> LossReport::lines(const std::string& fileName) const {
  std::vector<std::string> result;
  for (const auto& [feature, entry] : _counts)
    result.push_back(fileName + ": " + feature + ": " + std::to_string(entry.count) + " " +
                     entry.unit + (entry.count == 1 ? "" : "s") +
                     (entry.approximate ? " drawn approximately" : " not carried"));
  return result;
}

}  // namespace svgconvert
