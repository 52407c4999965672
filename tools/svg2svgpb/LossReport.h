#pragma once

#include <map>
#include <string>
#include <vector>

namespace svgconvert {

// What a conversion could not carry, counted per feature: "filter: 2 elements not carried", or
// carried only approximately: "text in a substituted font: 1 text drawn approximately".
class LossReport {
 public:
  // One more occurrence of `feature`; `unit` names what is counted (singular).
  void add(const std::string& feature, const std::string& unit = "element");
  void addApproximate(const std::string& feature, const std::string& unit = "element");
  bool isEmpty() const { return _counts.empty(); }
  int count(const std::string& feature) const;
  // One line per feature, sorted by feature, each starting with `fileName`.
  std::vector<std::string> lines(const std::string& fileName) const;

 private:
  struct Entry {
    std::string unit;
    int count = 0;
    bool approximate = false;
  };
  std::map<std::string, Entry> _counts;
};

}  // namespace svgconvert
