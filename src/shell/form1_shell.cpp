// Start-up, statistics and the window's own frame.

#include "workspace/project.h"

namespace tarnwick {

void Form1::buildShellControls()
{
    m_ctx.onStatsChanged = [this] { StatsD(); };
}

void Form1::StatsD()
{
}

} // namespace tarnwick
