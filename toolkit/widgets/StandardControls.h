#pragma once

namespace nebulo {

// Makes the toolkit's controls known to the layout reader by their class
// names, and to screen readers. Safe to call more than once.
void RegisterStandardControls();

} // namespace nebulo
