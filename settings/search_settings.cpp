#include "search_settings.h"

#include "settings_table.h"

namespace folios {

SearchTypes SearchTypesFromSettings() {
  Settings settings;
  SearchTypes types;
  types.cpp = settings.Int("m_cpp") != 0;
  types.h = settings.Int("m_h") != 0;
  types.java = settings.Int("m_java") != 0;
  types.frm = settings.Int("m_frm") != 0;
  types.bas = settings.Int("m_bas") != 0;
  types.cls = settings.Int("m_cls") != 0;
  return types;
}

bool SearchSubfoldersFromSettings() { return Settings().Int("m_find_subfolders") != 0; }

}  // namespace folios
