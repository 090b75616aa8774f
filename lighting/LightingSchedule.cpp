#include "lighting/LightingSchedule.h"

#include <algorithm>

using Kind = LightingPlan::Kind;

LightingSchedule::LightingSchedule(const Parts& parts, int smoothing, int workers, bool bands)
    : Work(parts), Smoothing(std::max(smoothing, 1)), Workers(workers),
      Shares(workers > 1 ? 2 * workers : 1) {
    const LightDirection& light = parts.Light;
    const TerrainLightingGrid& grid = parts.Grid;
    // Lines lie across the light's main horizontal direction and start where the light enters.
    Lines =
        light.RowLines
            ? LineOrder{true, light.XNegative ? grid.Height - 1 : 0, light.XNegative ? -1 : 1, grid.Height}
            : LineOrder{false, light.ZNegative ? grid.Width - 1 : 0, light.ZNegative ? -1 : 1, grid.Width};
    PlanRounds(bands && workers > 1 && light.CastsShadows);
}

void LightingSchedule::Run() {
    if (Work.Pool != nullptr && Workers > 1) {
        Work.Pool->Run(*this);
        return;
    }
    const int tasks = Tasks();
    for (int task = 0; task < tasks; ++task) {
        Between(task);
        Run(task, 0);
    }
    Between(tasks);
}

// Rounds until every line is coloured. Bands sweep short runs of lines (their halo grows with the
// run); the shading takes blocks of lines as long as alone, in a round every so often.
void LightingSchedule::PlanRounds(bool bands) {
    LightingPlan& plan = Work.Plan;
    plan.Tasks.clear();
    plan.Rounds.clear();
    const bool shadows = Work.Light.CastsShadows;
    const int run = bands ? BandLines : BlockLines();
    const int block = (std::max(run, BlockLines()) + run - 1) / run * run;
    const int perRun = bands ? BandsPerWorker * Workers : 1;
    if (bands)
        Work.Sweep.PlanBands(run, perRun, plan.Bands);
    int swept = shadows ? 0 : Lines.Count, coloured = 0, sweeps = 0;
    for (int round = 0; coloured < Lines.Count; ++round) {
        LightingPlan::Round next{static_cast<int>(plan.Tasks.size()), sweeps, {}, {}, coloured};
        next.Coloured = NextShading(swept, coloured, block);
        if (swept < Lines.Count) {
            next.Swept = {swept, std::min(swept + run, Lines.Count)};
            AddTasks(bands ? Kind::SweepBand : Kind::SweepWhole, perRun, round);
            sweeps += perRun;
        }
        if (!next.Coloured.Empty())
            AddTasks(Kind::ShadeAndColour, Shares, round);
        swept = std::max(swept, next.Swept.To);
        coloured = std::max(coloured, next.Coloured.To);
        next.ColouredTo = coloured;
        plan.Rounds.push_back(next);
    }
    plan.Rounds.push_back({static_cast<int>(plan.Tasks.size()), sweeps, {}, {}, coloured});
    plan.Unfinished.resize(plan.Rounds.size() - 1);
    for (std::size_t round = 0; round < plan.Unfinished.size(); ++round)
        plan.Unfinished[round] = plan.Rounds[round + 1].FirstTask - plan.Rounds[round].FirstTask;
}

// The lines the shading may take once lines [0, before) are swept: a line's colour blurs its
// neighbours' light levels, which blur their neighbours' shadows, so the last two swept wait, unless
// they are the last lines of all. A block at least, but the rest at the end.
LightingPlan::Lines LightingSchedule::NextShading(int before, int done, int block) const {
    if (before == Lines.Count)
        return {done, Lines.Count};
    return before - 2 - done >= block ? LightingPlan::Lines{done, before - 2}
                                      : LightingPlan::Lines{done, done};
}

void LightingSchedule::AddTasks(Kind what, int parts, int round) {
    for (int part = 0; part < parts; ++part)
        Work.Plan.Tasks.push_back({what, part, round});
}

bool LightingSchedule::Needed(int task) const {
    return Work.Plan.Tasks[static_cast<std::size_t>(task)].What != Kind::ShadeAndColour;
}

int LightingSchedule::Prerequisites(int task) const {
    const LightingPlan& plan = Work.Plan;
    return plan.Rounds[static_cast<std::size_t>(plan.Tasks[static_cast<std::size_t>(task)].Round)]
        .SweepsBefore;
}

void LightingSchedule::Run(int task, int worker) noexcept {
    const LightingPlan& plan = Work.Plan;
    const LightingPlan::Task& what = plan.Tasks[static_cast<std::size_t>(task)];
    const LightingPlan::Round& round = plan.Rounds[static_cast<std::size_t>(what.Round)];
    switch (what.What) {
    case Kind::SweepWhole:
        Work.Sweep.SweepWhole(round.Swept.From, round.Swept.To, worker);
        break;
    case Kind::SweepBand: {
        const std::size_t band =
            static_cast<std::size_t>(what.Round) * static_cast<std::size_t>(BandsPerWorker * Workers) +
            static_cast<std::size_t>(what.Part);
        if (!Work.Sweep.SweepBand(plan.Bands[band], worker))
            Inexact.store(true, std::memory_order_relaxed);
        break;
    }
    case Kind::ShadeAndColour:
        Work.Levels.ShadeAndColour(Work.Grid, Work.Light, Smoothing,
                                   SpanOf(round.Coloured, what.Part, Shares), worker);
        break;
    }
    // What the task wrote is seen by whoever sees its round finished.
    std::atomic_ref<int>(Work.Plan.Unfinished[static_cast<std::size_t>(what.Round)])
        .fetch_sub(1, std::memory_order_release);
}

// Every round whose tasks, and those of every round before, have all finished: the lines they
// coloured go to the listener.
void LightingSchedule::Between(int /*finished*/) {
    LightingPlan& plan = Work.Plan;
    int coloured = HandedOut;
    while (HandOutRound < Rounds() &&
           std::atomic_ref<int>(plan.Unfinished[static_cast<std::size_t>(HandOutRound)])
                   .load(std::memory_order_acquire) == 0)
        coloured = plan.Rounds[static_cast<std::size_t>(HandOutRound++)].ColouredTo;
    if (coloured <= HandedOut)
        return;
    const LitSpan span = SpanOf({HandedOut, coloured}, 0, 1);
    HandedOut = coloured;
    if (Work.Listener != nullptr && !span.Empty())
        Work.Listener->Lit(span);
}

// Blocks of lines of some 262,144 vertices, at most 64 rows: a block shades two lines more than it
// colours. Along columns the shading and the writes cross the rows, so there blocks may be wider,
// for longer runs of memory in each row.
int LightingSchedule::BlockLines() const {
    const int length = std::max(Lines.Rows ? Work.Grid.Width : Work.Grid.Height, 1);
    return Lines.Rows ? std::clamp(262144 / length, 2, 64) : std::clamp(262144 / length, 2, 256);
}

// The interior vertices of `lines`, in share `part` of `parts` of each line (whole cache lines of
// the levels' rows, where a line is a row).
LitSpan LightingSchedule::SpanOf(LightingPlan::Lines lines, int part, int parts) const {
    const int first = Lines.Step > 0 ? Lines.First + lines.From : Lines.First - lines.To + 1;
    const int end = Lines.Step > 0 ? Lines.First + lines.To : Lines.First - lines.From + 1;
    const int across = Lines.Rows ? Work.Grid.Height : Work.Grid.Width;
    const int along = Lines.Rows ? Work.Grid.Width : Work.Grid.Height;
    const int lo = std::max(first, 1), hi = std::max(lo, std::min(end, across - 1));
    const int share = ((along + parts - 1) / parts + 15) / 16 * 16;
    const int alongLo = std::max(std::min(along, part * share), 1);
    const int alongHi = std::max(alongLo, std::min(along - 1, (part + 1) * share));
    return Lines.Rows ? LitSpan{lo, hi, alongLo, alongHi} : LitSpan{alongLo, alongHi, lo, hi};
}
