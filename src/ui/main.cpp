// The desktop program. Its windows are not built yet: for now it only tells
// the user so, and checks that the core library links.
#include <cstdio>

#include "model/string_table.h"

int main() {
    std::printf(
        "Tallowmere Desktop %s\n"
        "The desktop window is not built yet: this version holds the ledger's core\n"
        "(record ids, money and dates, transactions and list files), checked by the\n"
        "test suite (make test). Accounts, registers, reports, import and export,\n"
        "online banking and handheld sync are still to come.\n",
        "1.0.0.0");
    return tallowmere::LoadString(317).empty() ? 1 : 0;
}
