// The problems met while gathering files (a missing file, a folder that
// cannot be read, a link skipped in a search, an ambiguous name in a
// project), told to the user in one message.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "gather_inputs.h"

class QWidget;

namespace folios::gui {

// One line for the user: the path, a colon and what happened.
QString GatherProblemLine(const GatherProblem& problem);

// One warning listing every problem (the first kMaxListedLines, then how
// many more); nothing when there are none.
void ShowGatherProblems(QWidget* parent, const std::vector<GatherProblem>& problems);

}  // namespace folios::gui
