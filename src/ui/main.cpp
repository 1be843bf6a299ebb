// The desktop program. Its windows are not built yet: for now it only tells
// the user so, and checks that the core library links.
#include <cstdio>

#include "model/string_table.h"

int main() {
    std::printf(
        "Tallowmere Desktop %s\n"
        "The desktop window is not built yet: this version holds the program's core\n"
        "(the ledger and its files, accounts and registers, reports, the OFX and\n"
        "HTTP clients, the handheld database), checked by the test suite (make test).\n"
        "Import and export, the institution directory and handheld sync are still to come.\n",
        "1.0.0.0");
    return tallowmere::LoadString(317).empty() ? 1 : 0;
}
