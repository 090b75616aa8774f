#include "elevation/MissingCellFill.h"

#include <cstddef>

namespace {
struct Neighbours {
    int Cells[4];
    int Count = 0;
};

Neighbours Around(int cell, int width, int height) {
    Neighbours around;
    const int x = cell % width, y = cell / width;
    if (x > 0)
        around.Cells[around.Count++] = cell - 1;
    if (x + 1 < width)
        around.Cells[around.Count++] = cell + 1;
    if (y > 0)
        around.Cells[around.Count++] = cell - width;
    if (y + 1 < height)
        around.Cells[around.Count++] = cell + width;
    return around;
}

// The missing cells next to a cell of from that are not in a wave yet, marked as queued.
std::vector<int> NextWave(const std::vector<int>& from, std::vector<std::uint8_t>& missing, int width,
                          int height) {
    constexpr std::uint8_t Queued = 2;
    std::vector<int> wave;
    for (const int cell : from) {
        const Neighbours around = Around(cell, width, height);
        for (int k = 0; k < around.Count; ++k)
            if (missing[static_cast<std::size_t>(around.Cells[k])] == 1) {
                missing[static_cast<std::size_t>(around.Cells[k])] = Queued;
                wave.push_back(around.Cells[k]);
            }
    }
    return wave;
}
} // namespace

std::int64_t MissingCellFill::Fill(std::vector<float>& heights, std::vector<std::uint8_t>& missing, int width,
                                   int height) {
    const int cells = width * height;
    for (std::uint8_t& state : missing)
        state = state != 0 ? 1 : 0;
    // Waves start from the valid cells at the edges of the gaps.
    std::vector<int> valid;
    for (int cell = 0; cell < cells; ++cell) {
        const Neighbours around = Around(cell, width, height);
        bool edge = false;
        for (int k = 0; k < around.Count; ++k)
            edge = edge || missing[static_cast<std::size_t>(around.Cells[k])] != 0;
        if (edge && missing[static_cast<std::size_t>(cell)] == 0)
            valid.push_back(cell);
    }
    std::int64_t filled = 0;
    std::vector<float> means;
    for (std::vector<int> wave = NextWave(valid, missing, width, height); !wave.empty();
         wave = NextWave(wave, missing, width, height)) {
        // All of a wave's means first, from the cells before it only.
        means.assign(wave.size(), 0.0f);
        for (std::size_t i = 0; i < wave.size(); ++i) {
            const Neighbours around = Around(wave[i], width, height);
            double sum = 0.0;
            int count = 0;
            for (int k = 0; k < around.Count; ++k)
                if (missing[static_cast<std::size_t>(around.Cells[k])] == 0) {
                    sum += heights[static_cast<std::size_t>(around.Cells[k])];
                    ++count;
                }
            means[i] = static_cast<float>(sum / count);
        }
        for (std::size_t i = 0; i < wave.size(); ++i) {
            heights[static_cast<std::size_t>(wave[i])] = means[i];
            missing[static_cast<std::size_t>(wave[i])] = 0;
        }
        filled += static_cast<std::int64_t>(wave.size());
    }
    return filled;
}
