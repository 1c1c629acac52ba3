/* A small module for the library-binding tests: one exported function, and
 * a line on standard output when the module is unloaded (only while
 * VTX_BOUND_MODULE_REPORT=1), so a test can tell when that happens. */
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

/* Adds two numbers; the function the tests bind. */
int VtxBoundAdd(int a, int b) { return a + b; }

/* Reports the unload. */
__attribute__((destructor)) static void ReportUnload(void) {
    const char* report = getenv("VTX_BOUND_MODULE_REPORT");
    if (report == NULL || strcmp(report, "1") != 0) return;
    static const char line[] = "module released\n";
    ssize_t written = write(1, line, sizeof line - 1);
    (void)written;
}
