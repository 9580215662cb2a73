// Results, errors, reports and exports of the main window.

#include "workspace/project.h"

namespace tarnwick {

void Form1::buildExchangeControls()
{
}

QString Form1::makeReport()
{
    return QString();
}

} // namespace tarnwick
