#include "search_settings.h"

#include "setting_names.h"
#include "settings_table.h"

namespace folios {

SearchTypes SearchTypesFromSettings() {
  Settings settings;
  SearchTypes types;
  types.cpp = settings.Int(setting_name::kCpp) != 0;
  types.h = settings.Int(setting_name::kH) != 0;
  types.java = settings.Int(setting_name::kJava) != 0;
  types.frm = settings.Int(setting_name::kFrm) != 0;
  types.bas = settings.Int(setting_name::kBas) != 0;
  types.cls = settings.Int(setting_name::kCls) != 0;
  return types;
}

bool SearchSubfoldersFromSettings() { return Settings().Int(setting_name::kFindSubfolders) != 0; }

}  // namespace folios
