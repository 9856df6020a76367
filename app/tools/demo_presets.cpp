// Writes a synthetic demo preset table: NOT the real preset frequencies, which are the
// user's own data. Every record that a preset toggle plays gets 19 audible tones between
// 20 Hz and 5 kHz, one of them a "no frequency" entry (0, 1, negative or a fraction);
// the records no toggle plays stay zero. The first record's unused elements 0 to 4 carry
// the text "SYNTHETIC DEMO PRESETS, NOT REAL DATA!!" so the file says what it is.
//
//   dcs_demo_presets <file>
#include "app/DemoPresets.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <pre.data to write>\n", argv[0]);
        return 2;
    }
    const dcs::TFrequencyTable table = dcs::DemoPresetTable();
    std::FILE* f = std::fopen(argv[1], "wb");
    if (f == nullptr || std::fwrite(table.data(), 1, sizeof table, f) != sizeof table || std::fclose(f) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
