// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the demo state's work RAM in a real state's container, for the start-up measurements.
// Usage: demo_in_format DEMO REAL OUTPUT

#include <cstdio>

#include "demo_in_format.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s DEMO REAL OUTPUT\n", argv[0]);
        return 2;
    }
    return orvane::bench::WriteDemoIn(argv[1], argv[2], argv[3]) ? 0 : 1;
}
