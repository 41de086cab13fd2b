// Dialogs whose buttons alone act: Enter and Escape are swallowed.
#pragma once

class QKeyEvent;

namespace folios::gui {

// Accepts Enter, Return and Escape so that the dialog ignores them; true
// when the event was one of those and needs no further handling.
bool SwallowEnterAndEscape(QKeyEvent* event);

}  // namespace folios::gui
