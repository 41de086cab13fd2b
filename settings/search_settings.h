// The file types and subfolder choice of the last directory search, as the
// settings keep them.
#pragma once

#include "directory_search.h"

namespace folios {

// The types chosen by m_cpp, m_h, m_java, m_frm, m_bas and m_cls.
SearchTypes SearchTypesFromSettings();

// m_find_subfolders.
bool SearchSubfoldersFromSettings();

}  // namespace folios
