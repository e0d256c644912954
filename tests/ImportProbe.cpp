#include "support/ImportProbe.h"

int g_importProbeCalls = CallEachSystemLibrary();
