#include "wave/UndoHistory.h"

#include <algorithm>
#include <cstring>

void UndoHistory::Touch(const DataPoint* samples, std::size_t first, std::size_t last) {
    if (last < first)
        return;
    if (!isOpen) {
        open = Step{first, {}, {}};
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
        return;                   // nothing changed
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

bool UndoHistory::Undo(DataPoint* samples, std::size_t count) {
    if (!CanUndo())
        return false;
    const Step& s = steps[done - 1];
    if (s.first + s.before.size() > count)
        return false;
    for (std::size_t i = 0; i < s.before.size(); ++i)
        samples[s.first + i].y = s.before[i];
    --done;
    return true;
}

bool UndoHistory::Redo(DataPoint* samples, std::size_t count) {
    if (!CanRedo())
        return false;
    const Step& s = steps[done];
    if (s.first + s.after.size() > count)
        return false;
    for (std::size_t i = 0; i < s.after.size(); ++i)
        samples[s.first + i].y = s.after[i];
    ++done;
    return true;
}

void UndoHistory::Clear() {
    steps.clear();
    done = bytes = 0;
    open = Step{};
    isOpen = false;
}
