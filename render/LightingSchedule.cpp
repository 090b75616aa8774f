#include "render/LightingSchedule.h"

#include <algorithm>

LightingSchedule::LightingSchedule(const Parts& parts, int smoothing, int workers)
    : Work(parts), Smoothing(std::max(smoothing, 1)), Workers(workers) {
    const LightDirection& light = parts.Light;
    const TerrainLightingGrid& grid = parts.Grid;
    // Lines lie across the light's main horizontal direction and start where the light enters.
    Lines =
        light.RowLines
            ? LineOrder{true, light.XNegative ? grid.Height - 1 : 0, light.XNegative ? -1 : 1, grid.Height}
            : LineOrder{false, light.ZNegative ? grid.Width - 1 : 0, light.ZNegative ? -1 : 1, grid.Width};
    Block = BlockLines();
    std::fill(parts.Progresses.begin(), parts.Progresses.begin() + workers, Progress{});
}

void LightingSchedule::Run() {
    if (Workers > 1)
        Work.Pool->Run(*this);
    else
        (*this)(0);
}

// The sweep reports every line; the passes follow a block behind. At the end, each time after the
// workers meet: the last shading, the last colouring, the last hand-out.
void LightingSchedule::operator()(int worker) {
    if (Work.Light.CastsShadows) {
        const LightingLevels::Shadow shadow = Work.Levels.ShadowField();
        Work.Sweep.Run(Work.Grid, Work.Light, {shadow.Data, shadow.Stride}, worker, Workers, Work.Pool,
                       *this);
    }
    for (int round = 0; round < 3; ++round) {
        if (Workers > 1)
            Work.Pool->Sync(Workers);
        if (round < 2)
            Step(Lines.Count, worker);
        else if (worker == 0)
            HandOut();
    }
}

// Lines [0, lines) have their final shadow: a line's light level needs the lines on either side.
void LightingSchedule::Swept(int lines, int worker) {
    if (lines - 1 - Work.Progresses[static_cast<std::size_t>(worker)].Shaded >= Block)
        Step(lines - 1, worker);
}

void LightingSchedule::Step(int shadeTo, int worker) {
    Progress& done = Work.Progresses[static_cast<std::size_t>(worker)];
    if (worker == 0)
        HandOut();
    // A line's grey level needs the light level of the lines on either side, finished at an earlier
    // step; the lines shaded at this one come after them.
    const int colourTo = done.Shaded == Lines.Count ? Lines.Count : done.Shaded - 1;
    if (colourTo > done.Coloured) {
        Work.Levels.Colour(Work.Grid, Smoothing, SpanOf(done.Coloured, colourTo, worker, Workers));
        done.Coloured = colourTo;
    }
    if (shadeTo > done.Shaded) {
        Work.Levels.Shade(Work.Grid, Work.Light, SpanOf(done.Shaded, shadeTo, worker, Workers), worker);
        done.Shaded = shadeTo;
    }
}

// On the calling thread: what every worker coloured at earlier steps.
void LightingSchedule::HandOut() {
    Progress& done = Work.Progresses[0];
    const LitSpan span = SpanOf(done.HandedOut, done.Coloured, 0, 1);
    done.HandedOut = done.Coloured;
    if (Work.Listener != nullptr && !span.Empty())
        Work.Listener->Lit(span);
}

// Blocks of lines of some 65,536 vertices along rows. Along columns the passes and the writes cross
// the rows, so there blocks are wider, for longer runs of memory in each row.
int LightingSchedule::BlockLines() const {
    const int length = std::max(Lines.Rows ? Work.Grid.Width : Work.Grid.Height, 1);
    return Lines.Rows ? std::clamp(65536 / length, 2, 64) : std::clamp(262144 / length, 2, 256);
}

// The interior vertices of lines [fromLine, toLine) of the sweep order, in the share of each line's
// vertices that `worker` of `workers` takes.
LitSpan LightingSchedule::SpanOf(int fromLine, int toLine, int worker, int workers) const {
    const int first = Lines.Step > 0 ? Lines.First + fromLine : Lines.First - toLine + 1;
    const int end = Lines.Step > 0 ? Lines.First + toLine : Lines.First - fromLine + 1;
    const int across = Lines.Rows ? Work.Grid.Height : Work.Grid.Width;
    const int along = Lines.Rows ? Work.Grid.Width : Work.Grid.Height;
    const int lo = std::max(first, 1), hi = std::max(lo, std::min(end, across - 1));
    const HorizonSweep::Share share = HorizonSweep::ShareOf(along, worker, workers);
    const int alongLo = std::max(share.First, 1);
    const int alongHi = std::max(alongLo, std::min(share.End, along - 1));
    return Lines.Rows ? LitSpan{lo, hi, alongLo, alongHi} : LitSpan{alongLo, alongHi, lo, hi};
}
