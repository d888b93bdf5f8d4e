#include "wave/UndoHistory.h"

#include <algorithm>
#include <cstring>

void UndoHistory::Touch(const DataPoint* samples, std::size_t first, std::size_t last) {
    if (last < first)
        return;
    if (!isOpen) {
        open = Step{};
        open.first = first;
        for (std::size_t i = first; i <= last; ++i)
            open.before.push_back(samples[i].y);
        isOpen = true;
        return;
    }
    // Widen to one range: what lies between was not touched yet and still holds its values.
    const std::size_t end = open.first + open.before.size(); // one past
    if (first < open.first) {
        std::vector<double> front;
        for (std::size_t i = first; i < open.first; ++i)
            front.push_back(samples[i].y);
        open.before.insert(open.before.begin(), front.begin(), front.end());
        open.first = first;
    }
    for (std::size_t i = end; i <= last; ++i)
        open.before.push_back(samples[i].y);
}

void UndoHistory::Commit(const DataPoint* samples) {
    if (!isOpen)
        return;
    isOpen = false;
    Step step = std::move(open);
    open = Step{};
    for (std::size_t i = 0; i < step.before.size(); ++i)
        step.after.push_back(samples[step.first + i].y);
    if (step.before.size() == step.after.size() &&
        std::memcmp(step.before.data(), step.after.data(), step.before.size() * sizeof(double)) ==
            0)
        return; // nothing changed
    Push(std::move(step));
}

void UndoHistory::RecordReplace(std::vector<DataPoint> before, std::vector<DataPoint> after) {
    Step step;
    step.replace = true;
    step.wholeBefore = std::move(before);
    step.wholeAfter = std::move(after);
    Push(std::move(step));
}

void UndoHistory::Push(Step step) {
    while (steps.size() > done) { // a new step ends what could be redone
        bytes -= steps.back().Bytes();
        steps.pop_back();
    }
    bytes += step.Bytes();
    steps.push_back(std::move(step));
    ++done;
    while (bytes > limit && !steps.empty()) { // the oldest go first, even the new one
        bytes -= steps.front().Bytes();
        steps.pop_front();
        --done;
    }
}

bool UndoHistory::Apply(const Step& s, bool forward, const Target& t) {
    if (s.replace)
        return t.replace && t.replace(forward ? s.wholeAfter : s.wholeBefore);
    const std::vector<double>& values = forward ? s.after : s.before;
    if (!t.points || s.first + values.size() > t.count)
        return false;
    for (std::size_t i = 0; i < values.size(); ++i)
        t.points[s.first + i].y = values[i];
    return true;
}

bool UndoHistory::Undo(const Target& target) {
    if (!CanUndo() || !Apply(steps[done - 1], false, target))
        return false;
    --done;
    return true;
}

bool UndoHistory::Redo(const Target& target) {
    if (!CanRedo() || !Apply(steps[done], true, target))
        return false;
    ++done;
    return true;
}

void UndoHistory::Clear() {
    steps.clear();
    done = bytes = 0;
    open = Step{};
    isOpen = false;
}
