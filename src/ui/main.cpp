// The desktop program. Its windows are not built yet: for now it only tells
// the user so, and checks that the core library links.
#include <signal.h>

#include <cstdio>

#include "model/string_table.h"

int main() {
    // Signal dispositions belong to the process, so the program sets them,
    // before any thread starts: a peer that closes its socket early and a
    // save past the file-size limit must fail that call (EPIPE, EFBIG), not
    // end the program.
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);

    std::printf(
        "Tallowmere Desktop %s\n"
        "The desktop window is not built yet: this version holds the program's core\n"
        "(the ledger and its files, accounts and registers, reports, online banking,\n"
        "CSV, QIF and OFX import and export, the handheld merge and sync server),\n"
        "checked by the test suite (make test).\n",
        "1.0.0.0");
    return tallowmere::LoadString(317).empty() ? 1 : 0;
}
