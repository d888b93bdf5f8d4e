#include "wave/UndoHistory.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "files/MemoryGate.h"

namespace {

void ReadYs(const DataPoint* samples, std::size_t first, double* to, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        to[i] = samples[first + i].y;
}

bool Same(double a, double b) { // bit for bit: -0.0 is a change from 0.0
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

void UndoHistory::Touch(const DataPoint* samples, std::size_t first, std::size_t last) {
    if (last < first)
        return;
    // The history is the first to give way: the oldest steps go until the values fit. With
    // none left the change goes unrecorded, and nothing before it can be undone.
    for (;;) {
        try {
            Widen(samples, first, last);
            return;
        } catch (const std::bad_alloc&) {
            if (DropOldest())
                continue;
            Clear();
            lost = true;
            return;
        }
    }
}

void UndoHistory::Widen(const DataPoint* samples, std::size_t first, std::size_t last) {
    if (lost)
        return; // the change under way cannot be undone
    if (!isOpen) {
        Step step;
        step.first = first;
        step.frame = frame;
        AskForMemory((last - first + 1) * sizeof(double));
        step.values.resize(last - first + 1);
        ReadYs(samples, first, step.values.data(), step.values.size());
        open = std::move(step);
        isOpen = true;
        return;
    }
    // Widen to one range: what lies between was not touched yet and still holds its values.
    const std::size_t from = std::min(first, open.first);
    const std::size_t to = std::max(last + 1, open.first + open.values.size()); // one past
    if (from == open.first && to == open.first + open.values.size())
        return;
    AskForMemory((to - from) * sizeof(double));
    std::vector<double> wider(to - from);
    ReadYs(samples, from, wider.data(), open.first - from);
    std::copy(open.values.begin(), open.values.end(), wider.begin() + (open.first - from));
    const std::size_t end = open.first + open.values.size();
    ReadYs(samples, end, wider.data() + (end - from), to - end);
    open.values = std::move(wider);
    open.first = from;
}

void UndoHistory::Commit(const DataPoint* samples) {
    if (lost) { // an unrecorded change: the file's state is no longer where it was
        lost = false;
        saved.reset();
        return;
    }
    if (!isOpen)
        return;
    isOpen = false;
    Step step = std::move(open);
    open = Step{};
    std::vector<double>& v = step.values;
    std::size_t head = 0, tail = v.size();
    while (head < tail && Same(v[head], samples[step.first + head].y))
        ++head;
    while (tail > head && Same(v[tail - 1], samples[step.first + tail - 1].y))
        --tail;
    if (head == tail)
        return; // nothing changed
    v.resize(tail);
    v.erase(v.begin(), v.begin() + std::ptrdiff_t(head));
    v.shrink_to_fit();
    step.first += head;
    Push(std::move(step));
}

void UndoHistory::RecordReplace(std::vector<double> before, Document document) {
    Step step;
    step.replace = true;
    step.frame = frame;
    step.values = std::move(before);
    step.document = std::move(document);
    Push(std::move(step));
}

void UndoHistory::RecordFrames(FrameChange change, std::uint32_t at, std::uint32_t to,
                               std::vector<double> removed) {
    Step step;
    step.change = change;
    step.first = at;
    step.to = to;
    step.frame = change == FrameChange::Move ? to : at;
    step.values = std::move(removed);
    Push(std::move(step));
}

void UndoHistory::BeginGroup() {
    grouping = true;
    pending = Step{};
    pending.frame = frame;
}

void UndoHistory::EndGroup() {
    if (!grouping)
        return;
    grouping = false;
    Step group = std::move(pending);
    pending = Step{};
    bytes -= group.Bytes(); // counted as they came; Push counts them again
    if (group.group.size() == 1)
        Push(std::move(group.group.front()));
    else if (!group.group.empty())
        Push(std::move(group));
}

bool UndoHistory::CancelGroup(const Target& target, const FrameChanges& frames,
                              const FramePoints& points) {
    if (!grouping)
        return true;
    grouping = false;
    Step group = std::move(pending);
    pending = Step{};
    bytes -= group.Bytes();
    const std::size_t kept = bytes; // the group's values go with it
    const bool undone = Swap(group, target, frames, points, true);
    bytes = kept;
    return undone;
}

void UndoHistory::Push(Step step) {
    if (grouping) { // kept whole until the group ends
        bytes += step.Bytes();
        pending.group.push_back(std::move(step));
        return;
    }
    while (steps.size() > done) { // a new step ends what could be redone
        bytes -= steps.back().Bytes();
        steps.pop_back();
    }
    if (saved && *saved > done)
        saved.reset(); // the saved state can no longer be reached
    bytes += step.Bytes();
    steps.push_back(std::move(step));
    ++done;
    const std::size_t limit = allowance ? allowance() : 0;
    while (bytes > limit && DropOldest()) { // the oldest go first, even the new one
    }
}

bool UndoHistory::DropOldest() {
    if (steps.empty())
        return false;
    bytes -= steps.front().Bytes();
    steps.pop_front();
    if (done > 0)
        --done;
    if (saved)
        saved = *saved > 0 ? std::optional<std::size_t>(*saved - 1) : std::nullopt;
    return true;
}

bool UndoHistory::Swap(Step& s, const Target& t, const FrameChanges& frames,
                       const FramePoints& points, bool undo) {
    if (!s.group.empty()) { // undone last first, redone first first
        const std::size_t n = s.group.size();
        for (std::size_t i = 0; i < n; ++i)
            if (!Swap(s.group[undo ? n - 1 - i : i], t, frames, points, undo))
                return false;
        return true;
    }
    if (s.change != FrameChange::None) { // taken back: the opposite change
        if (!frames)
            return false;
        const std::size_t had = s.Bytes();
        const std::uint32_t at = std::uint32_t(s.first);
        bool done;
        if (s.change == FrameChange::Reshape) { // both ways alike: the other bank in place
            const std::uint32_t size = std::uint32_t(t.count); // the bank's frame size now
            done = frames(FrameChange::Reshape, 0, s.to, s.values);
            if (done)
                s.to = size;
        } else if (s.change == FrameChange::Move)
            done = undo ? frames(FrameChange::Move, s.to, at, s.values)
                        : frames(FrameChange::Move, at, s.to, s.values);
        else if ((s.change == FrameChange::Insert) == undo)
            done = frames(FrameChange::Remove, at, 0, s.values);
        else
            done = frames(FrameChange::Insert, at, 0, s.values);
        bytes = bytes - had + s.Bytes();
        return done;
    }
    if (s.replace) { // the other waveform may differ in length
        const std::size_t had = s.Bytes();
        if (!t.replace || !t.replace(s.values))
            return false;
        bytes = bytes - had + s.Bytes();
        if (t.swapDocument)
            t.swapDocument(s.document);
        return true;
    }
    DataPoint* const at = points ? points(s.frame) : t.points;
    if (!at || s.first + s.values.size() > t.count)
        return false;
    DataPoint* p = at + s.first;
    for (double& v : s.values)
        std::swap(v, (p++)->y);
    return true;
}

bool UndoHistory::Undo(const Target& target, const FrameChanges& frames,
                       const FramePoints& points) {
    if (!CanUndo() || !Swap(steps[done - 1], target, frames, points, true))
        return false;
    --done;
    return true;
}

bool UndoHistory::Redo(const Target& target, const FrameChanges& frames,
                       const FramePoints& points) {
    if (!CanRedo() || !Swap(steps[done], target, frames, points, false))
        return false;
    ++done;
    return true;
}

void UndoHistory::Clear() {
    steps.clear();
    grouping = false;
    pending = Step{};
    done = bytes = 0;
    saved.reset();
    open = Step{};
    isOpen = false;
    lost = false;
}
