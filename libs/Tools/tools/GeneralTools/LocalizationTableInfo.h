#pragma once

#include <memory>
#include <string>

#include "Foundation/Bundle.h"

// One string table of the application: its name (the file name without ".strings") and the
// bundle that holds it, in its language folders or unlocalized.
class LocalizationTableInfo {
 public:
  LocalizationTableInfo(std::string tableName, std::shared_ptr<platform::Bundle> tableBundle);

  const std::string& tableName() const { return _tableName; }
  const std::shared_ptr<platform::Bundle>& tableBundle() const { return _tableBundle; }

  // The same table: the same bundle object and an equal name.
  bool operator==(const LocalizationTableInfo& other) const;

 private:
  std::string _tableName;
  std::shared_ptr<platform::Bundle> _tableBundle;
};
