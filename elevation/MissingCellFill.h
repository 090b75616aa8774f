#pragma once

#include <cstdint>
#include <vector>

// Gives every missing cell of a width x height grid (row-major) a height from its nearest valid
// neighbours: in waves outwards from the valid cells, each cell of a wave takes the mean of its
// neighbours (of four) that the valid cells and earlier waves gave heights. A filled height always
// lies between valid ones, so the fill makes no spike and no pit.
class MissingCellFill {
public:
    // missing[i] is non-zero for each cell without data; the vector is left with none. The cells
    // filled; nothing is filled (and 0 returned) when every cell is missing.
    static std::int64_t Fill(std::vector<float>& heights, std::vector<std::uint8_t>& missing, int width,
                             int height);
};
