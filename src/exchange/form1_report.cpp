// The HTML report and the exports of the main window.

#include "workspace/project.h"

namespace tarnwick {

void Form1::buildReportControls()
{
}

QString Form1::makeReport()
{
    return QString();
}

} // namespace tarnwick
