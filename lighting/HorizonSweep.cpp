#include "lighting/HorizonSweep.h"

#include "lighting/LightingConstants.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

using namespace lighting;
using horizon::Slots;
using horizon::Steps;

namespace {
// Slots beyond a band's exact ones whose vertices are placed too: the double-precision positions
// that find them differ from the sweep's own by far less.
constexpr double PlaceMargin = 3.0;
// Vertices of a line lie further apart than the two slots that each one reads and raises, so a
// vertex across a band's edge leaves only one slot inexact.
constexpr double BandGap = 2.05;
// Time of smoothing one slot for a line, against placing and sweeping one vertex (a sampling
// profile of one thread at 1024 x 1024): how far the bands' cuts move to even out the smoothing of
// the horizon's ends, which hold no vertices of the line.
constexpr double SmoothingShare = 0.15;
constexpr double Beyond = 1e30;

float* At(std::vector<float>& buffer, int slot) {
    return buffer.data() + static_cast<std::ptrdiff_t>(slot) * PerSlot;
}

void Zero(std::vector<float>& buffer, Slots slots) {
    if (!slots.Empty())
        std::fill(At(buffer, slots.Lo), At(buffer, slots.Hi), 0.0f);
}

Slots Within(Slots slots, Slots bounds) {
    return {std::max(slots.Lo, bounds.Lo), std::min(slots.Hi, bounds.Hi)};
}

// (dirty and touched) widened by the smoothing's reach, within the live range.
Slots Grow(Slots dirty, Slots touched, const horizon::SlotRange& live) {
    Slots range = dirty;
    if (!touched.Empty()) {
        range.Lo = range.Empty() ? touched.Lo : std::min(range.Lo, touched.Lo);
        range.Hi = std::max(range.Hi, touched.Hi);
    }
    if (range.Empty())
        return dirty;
    return {std::max(live.Lo, range.Lo - 2), std::min(live.Hi, range.Hi + 2)};
}
} // namespace

void HorizonSweep::Fit(int width, int height, int workers) {
    if (width != FittedWidth || height != FittedHeight) {
        // Positions lie within 3 * max(width, height) slots of the centre (HorizonWalk::SlotCell).
        const int span = SlotsPerCell * (width + height);
        const int centre = std::max(LowestCentreSlot, span + 2);
        const std::size_t slots = static_cast<std::size_t>(centre + span + 2);
        for (std::vector<float>& buffer : Horizon)
            buffer.assign(slots * PerSlot, 0.0f);
        Live = {centre - span, centre + span, static_cast<float>(centre)};
        Dirty = {Live.Lo, Live.Lo};
        Scratches.clear();
        FittedWidth = width;
        FittedHeight = height;
    }
    if (Scratches.size() < static_cast<std::size_t>(workers))
        Scratches.resize(static_cast<std::size_t>(workers));
    for (Scratch& scratch : Scratches) {
        scratch.Line.Fit(std::max(width, height));
        // Only bands use a copy of the horizon of their own.
        if (workers > 1 && scratch.Horizon[0].size() != Horizon[0].size()) {
            for (std::vector<float>& buffer : scratch.Horizon)
                buffer.assign(Horizon[0].size(), 0.0f);
        }
    }
}

bool HorizonSweep::Begin(const TerrainLightingGrid& grid, const LightDirection& light, Output out) {
    Grid = &grid;
    Walk = HorizonWalk::Of(grid, light);
    Out = out;
    Positions.Place(grid, Walk, Live.Centre);
    FindNeeded(Walk.Length > 1 && Positions.Spread(0.0));
    Apart = Walk.Length > 1 && Positions.Spread(BandGap);
    return Apart;
}

// Line L reads its vertices' slots, which lie within Reach(L) when the positions move one way along
// the lines; what it reads came from slots at most two away on the line before, and so on. The
// slots of a line that no later line can read need no smoothing for it. Otherwise every slot counts.
void HorizonSweep::FindNeeded(bool ordered) {
    Needed.assign(static_cast<std::size_t>(Walk.Count) + 1, {Live.Lo, ordered ? Live.Lo : Live.Hi});
    for (int line = Walk.Count - 1; ordered && line >= 0; --line) {
        const std::size_t at = static_cast<std::size_t>(line);
        Needed[at] = Grow(Needed[at + 1], Reach(line), Live);
    }
}

void HorizonSweep::End() {
    for (std::vector<float>& buffer : Horizon)
        Zero(buffer, Dirty);
    Dirty = {Live.Lo, Live.Lo};
    Grid = nullptr;
}

// Line L reads and raises horizon buffer L % 2, which is then smoothed into the other one for line
// L + 1, over the slots that may be non-zero and that a later line may still need.
void HorizonSweep::SweepWhole(int fromLine, int toLine, int worker) {
    Scratch& scratch = Scratches[static_cast<std::size_t>(worker)];
    for (int line = fromLine; line < toLine; ++line) {
        const Slots touched = horizon::PlaceLine(*Grid, Walk, Live, line, {0, Walk.Length}, scratch.Line);
        float* current = Horizon[line % 2].data();
        horizon::SweepLine(scratch.Line, horizon::ShadowRowOf(Walk, line, Out.Data, Out.Stride, Grid->Width),
                           current, 0, Walk.Length, Apart);
        const Slots grown = Grow(Dirty, touched, Live);
        const Slots smoothed = Within(grown, Needed[static_cast<std::size_t>(line) + 1]);
        if (!smoothed.Empty())
            horizon::SmoothSlots(current, Horizon[(line + 1) % 2].data(), smoothed.Lo, smoothed.Hi);
        Dirty = grown;
    }
}

// The slots that line `line` can raise, from the positions of its two ends, with room to spare; only
// where the positions move one way along the lines.
Slots HorizonSweep::Reach(int line) const {
    const double first = Positions.At(line, 0), last = Positions.At(line, Walk.Length - 1);
    if (!std::isfinite(first) || !std::isfinite(last))
        return {Live.Lo, Live.Hi};
    const double lo = std::floor(std::min(first, last)) - 1.0, hi = std::floor(std::max(first, last)) + 3.0;
    return {static_cast<int>(std::clamp(lo, double(Live.Lo), double(Live.Hi))),
            static_cast<int>(std::clamp(hi, double(Live.Lo), double(Live.Hi)))};
}

namespace {
// A run's work below a slot: smoothing the slots that may be non-zero and are still needed half-way
// through it, and its vertices, spread evenly over the positions of the line half-way through it.
struct RunWork {
    Slots Smoothed;
    double SpanLo = 0.0, SpanHi = 0.0, Vertices = 0.0;

    double Below(double slot) const {
        const double slots =
            std::clamp(slot, double(Smoothed.Lo), double(std::max(Smoothed.Lo, Smoothed.Hi)));
        const double width = SpanHi - SpanLo;
        const double share = width > 0.0 ? std::clamp((slot - SpanLo) / width, 0.0, 1.0) : slot >= SpanLo;
        return SmoothingShare * (slots - Smoothed.Lo) + Vertices * share;
    }
    // The slot below which `part` of the work within `whole` lies.
    int Cut(double part, Slots whole) const {
        double lo = whole.Lo, hi = whole.Hi;
        const double goal = part * Below(hi);
        while (hi - lo > 0.5) {
            const double middle = (lo + hi) / 2.0;
            (Below(middle) < goal ? lo : hi) = middle;
        }
        return static_cast<int>(std::lround(hi));
    }
};
} // namespace

void HorizonSweep::PlanBands(int linesPerRun, int bands, std::vector<Band>& out) {
    out.clear();
    const HorizonPositions& at = Positions;
    Slots dirty{Live.Lo, Live.Lo};
    for (int from = 0, run = 0; from < Walk.Count; from += linesPerRun, ++run) {
        const int to = std::min(from + linesPerRun, Walk.Count), middle = (from + to) / 2;
        RunWork work;
        for (int line = from; line < to; ++line) {
            if (line == middle) {
                const double first = at.At(line, 0), last = at.At(line, Walk.Length - 1);
                work = {Within(dirty, Needed[static_cast<std::size_t>(line) + 1]), std::min(first, last),
                        std::max(first, last), static_cast<double>(Walk.Length)};
            }
            dirty = Grow(dirty, Reach(line), Live);
        }
        // Every slot that may be non-zero during the run belongs to one band.
        int lo = dirty.Lo;
        for (int band = 0; band < bands; ++band) {
            const int hi = band + 1 == bands ? std::max(lo, dirty.Hi)
                                             : std::clamp(work.Cut(double(band + 1) / bands, dirty), lo,
                                                          std::max(lo, dirty.Hi));
            out.push_back({from, to, run, lo, hi, band == 0, band + 1 == bands});
            lo = hi;
        }
    }
    Dirty = dirty; // what End clears
}

bool HorizonSweep::SweepBand(const Band& band, int worker) {
    Scratch& scratch = Scratches[static_cast<std::size_t>(worker)];
    Slots exact = StartBand(band, scratch);
    bool whole = true;
    for (int line = band.FromLine; line < band.ToLine; ++line)
        whole = SweepBandLine(band, line, scratch, exact) && whole;
    return whole && (band.Lo >= band.Hi || (exact.Lo <= band.Lo && exact.Hi >= band.Hi));
}

// The band's copy of the horizon for its first line, as the last run left it; the slots in which it
// is exact. Only the slots that the run may read are copied: nothing else is ever read, so what
// earlier bands left there may stay. Below a run's first band and above its last, as beyond the live
// range, the horizon stays 0.0 for the whole run: there the band needs no halo, only the two slots
// that the smoothing reads, cleared.
Slots HorizonSweep::StartBand(const Band& band, Scratch& scratch) {
    const int halo = HaloSlots(band.ToLine - band.FromLine);
    const Slots copy{band.Lowest ? band.Lo : std::max(Live.Lo, band.Lo - halo),
                     band.Highest ? band.Hi : std::min(Live.Hi, band.Hi + halo)};
    const Slots read = Within(copy, Needed[static_cast<std::size_t>(band.FromLine)]);
    if (!read.Empty())
        std::copy(At(Horizon[(band.Run + 1) % 2], read.Lo), At(Horizon[(band.Run + 1) % 2], read.Hi),
                  At(scratch.Horizon[band.FromLine % 2], read.Lo));
    const bool zerosBelow = band.Lowest || copy.Lo == Live.Lo,
               zerosAbove = band.Highest || copy.Hi == Live.Hi;
    for (std::vector<float>& buffer : scratch.Horizon) {
        if (zerosBelow)
            Zero(buffer, {copy.Lo - 2, copy.Lo});
        if (zerosAbove)
            Zero(buffer, {copy.Hi, copy.Hi + 2});
    }
    return {zerosBelow ? copy.Lo - 2 : copy.Lo, zerosAbove ? copy.Hi + 2 : copy.Hi};
}

Steps HorizonSweep::OwnSteps(const Band& band, int line) const {
    const HorizonPositions::Steps own =
        Positions.Within(line, band.Lowest ? -Beyond : band.Lo, band.Highest ? Beyond : band.Hi);
    return {own.First, own.End};
}

// One line of a band: its own vertices and those near enough to raise a slot it reads, then the
// smoothing for the next line, which leaves two slots fewer exact at each end but where zeros lie
// beyond it. The run's last line smooths the band's own slots alone, straight into the horizon that
// the next run starts from.
bool HorizonSweep::SweepBandLine(const Band& band, int line, Scratch& scratch, Slots& exact) {
    const Steps own = OwnSteps(band, line);
    const HorizonPositions::Steps near =
        Positions.Within(line, exact.Lo - PlaceMargin, exact.Hi + PlaceMargin);
    const Steps swept = own.First >= own.End
                            ? Steps{near.First, near.End}
                            : Steps{std::min(own.First, near.First), std::max(own.End, near.End)};
    horizon::PlaceLine(*Grid, Walk, Live, line, swept, scratch.Line);
    float* current = scratch.Horizon[line % 2].data();
    const bool whole =
        horizon::SweepBand(scratch.Line, horizon::ShadowRowOf(Walk, line, Out.Data, Out.Stride, Grid->Width),
                           current, swept, own, exact, Apart);
    // The smoothing reads two slots either side: each end of the exact slots moves in by two, but
    // where zeros lie beyond it.
    const bool last = line + 1 == band.ToLine;
    const Slots kept = last ? Slots{band.Lo, band.Hi} : Slots{exact.Lo + 2, exact.Hi - 2};
    if (!band.Lowest && exact.Lo > Live.Lo - 2)
        exact.Lo += 2;
    if (!band.Highest && exact.Hi < Live.Hi + 2)
        exact.Hi -= 2;
    const Slots smoothed = Within(kept, Needed[static_cast<std::size_t>(line) + 1]);
    float* next = last ? Horizon[band.Run % 2].data() : scratch.Horizon[(line + 1) % 2].data();
    if (!smoothed.Empty())
        horizon::SmoothSlots(current, next, smoothed.Lo, smoothed.Hi);
    return whole;
}
