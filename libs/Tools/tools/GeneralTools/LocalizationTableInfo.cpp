#include "GeneralTools/LocalizationTableInfo.h"

LocalizationTableInfo::LocalizationTableInfo(std::string tableName,
                                             std::shared_ptr<platform::Bundle> tableBundle)
    : _tableName(std::move(tableName)), _tableBundle(std::move(tableBundle)) {}

bool LocalizationTableInfo::operator==(const LocalizationTableInfo& other) const {
  return _tableBundle == other._tableBundle && _tableName == other._tableName;
}
