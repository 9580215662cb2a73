// The results list and the error list of the main window.

#include "workspace/project.h"

namespace tarnwick {

void Form1::buildResultsControls()
{
}

} // namespace tarnwick
