// Where the program's data files live: keyword files, the noise-characters
// file, the documentation format file and the help page.
//
// Shipped copies sit in the shipped data directory (data/ beside bin/ in the
// build tree, share/lumentra-folios after installation). Files the program
// writes go to the user's data directory ($FOLIOS_DATA_DIR, else
// $XDG_DATA_HOME/lumentra-folios, else ~/.local/share/lumentra-folios), whose
// files take precedence. Names are matched without regard to case.
// Nothing else in the system computes these paths.
#pragma once

#include <string>
#include <string_view>

namespace folios {

// The directory of the shipped data files ("the program directory").
// Empty when none of the candidate places exists.
std::string ShippedDataDirectory();

// The user's writable data directory; it need not exist yet.
std::string UserDataDirectory();

// Where file `name` is read from: the user's copy when one exists, else the
// shipped one. When neither exists, the path it would be written to.
std::string LocateDataFile(std::string_view name);

// Where file `name` is written: in the user's data directory, under the
// spelling of an existing copy there when one exists. The directory is created.
std::string WritableDataFile(std::string_view name);

// The directory of the running executable.
std::string ExecutableDirectory();

// The user's home directory ($HOME, else the password database, else "/").
std::string HomeDirectory();

}  // namespace folios
