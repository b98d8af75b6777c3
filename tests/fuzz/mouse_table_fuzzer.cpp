// The mouse table reader and hit test given any rows: the host never reads past the table's end
// row or its row limit, and hit results point into the table.
#include "panelhost/host/mouse.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Rows of kind, box and help id from the input; handler words stay null, text words too.
    constexpr std::size_t ROW_BYTES = 24;
    std::size_t rows = size / ROW_BYTES;
    if (rows == 0 || rows > 512)
        return 0;
    std::vector<MOUSERECT> table(rows + 1);
    for (std::size_t i = 0; i < rows; ++i) {
        const std::uint8_t* row = data + i * ROW_BYTES;
        std::int32_t words[6];
        std::memcpy(words, row, sizeof words);
        table[i].rect_type = static_cast<std::uint32_t>(words[0]) % 6;
        table[i].box = {words[1] % 1000, words[2] % 1000, words[3] % 1000, words[4] % 1000};
        table[i].help_id = static_cast<std::uint32_t>(words[5]);
        table[i].mouse_flags = MOUSE_LEFTSINGLE;
    }
    table[rows].rect_type = MOUSE_RECT_EOL;
    panelhost::MouseTable layout = panelhost::read_mouse_table(table.data(), {300, 200});
    for (std::int32_t y = -1; y < 201; y += 7)
        for (std::int32_t x = -1; x < 301; x += 7) {
            panelhost::MouseHit hit = panelhost::hit_test(layout, {x, y});
            if (hit.hot_spot && (hit.hot_spot->row < table.data() || hit.hot_spot->row >= table.data() + rows))
                std::abort();
            panelhost::tooltip_for(layout, hit, nullptr);
        }
    return 0;
}
