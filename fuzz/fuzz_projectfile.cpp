// Project files: any bytes read as a project, and what the writer makes of
// that read back the same way.

#include <cstdlib>

#include "platform/services.h"
#include "workspace/projectfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = platform::decodeText(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const tarnwick::ProjectData first = tarnwick::parseProjectText(text);
    const QString written = tarnwick::projectFileText(first);
    const tarnwick::ProjectData second = tarnwick::parseProjectText(written);
    // Once written, a project reads back as itself.
    if (tarnwick::projectFileText(second) != written)
        std::abort();
    tarnwick::proposedProjectName(first.mainSites.isEmpty() ? QString() : first.mainSites.front().text);
    tarnwick::reportNameForProject(text.left(300));
    return 0;
}
