// Compiled with the core library's flags, never linked: the core's own
// headers are found, a window header is not.
#include "exchange/report.h"
#include "scanner/scanner.h"
#include "workspace/context.h"

#include <QWidget>
