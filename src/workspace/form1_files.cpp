// Project files: open, save, quick-save, auto-save, main-site deletion.

#include "workspace/project.h"

namespace tarnwick {

void Form1::buildFileControls()
{
}

void Form1::openProject(const QString &path, bool clearFirst)
{
    Q_UNUSED(path);
    Q_UNUSED(clearFirst);
}

} // namespace tarnwick
