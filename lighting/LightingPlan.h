#pragma once

#include "lighting/HorizonSweep.h"

#include <vector>

// One lighting call cut into tasks, round by round. A round sweeps a run of lines (whole, or in
// bands), and shades and colours the lines whose shadows up to two lines away on both sides earlier
// rounds finished; its tasks need nothing from each other, only every sweep of the rounds before
// (nothing needs the shading, which fills the time a worker would otherwise wait).
// Kept between calls so that an ordinary call allocates nothing.
struct LightingPlan {
    enum class Kind : unsigned char { SweepWhole, SweepBand, ShadeAndColour };
    // Lines [From, To) of the sweep's order.
    struct Lines {
        int From = 0, To = 0;
        bool Empty() const { return From >= To; }
    };
    struct Task {
        Kind What = Kind::ShadeAndColour;
        int Part = 0; // the band, or the share of each line
        int Round = 0;
    };
    struct Round {
        int FirstTask = 0;
        int SweepsBefore = 0; // sweep tasks in the rounds before
        Lines Swept, Coloured;
        int ColouredTo = 0; // every line before it has its grey level once the rounds up to it finish
    };

    std::vector<Task> Tasks;
    std::vector<Round> Rounds; // and one more, whose FirstTask ends the last round
    // Per round (the closing entry of Rounds aside), its tasks not yet finished (atomically).
    std::vector<int> Unfinished;
    std::vector<HorizonSweep::Band> Bands;
};
