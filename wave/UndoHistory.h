#pragma once
// Steps back and forth over a waveform's Y values. A step keeps only what it changed: one
// range of samples with their values before and after. A step is opened by the first change
// and widened by later ones (the values of newly covered samples are read before they change),
// and closed when the drag, stroke or command ends. The history holds at most a given number
// of bytes and drops its oldest steps to stay within it; an edit never fails for want of room.

#include <cstddef>
#include <deque>
#include <vector>

#include "files/DataPoint.h"

class UndoHistory {
public:
    explicit UndoHistory(std::size_t maxBytes) : limit(maxBytes) {}

    // Samples [first, last] of `samples` are about to change.
    void Touch(const DataPoint* samples, std::size_t first, std::size_t last);
    // The open step is complete; `samples` hold its new values. A step that changed nothing
    // is not kept.
    void Commit(const DataPoint* samples);
    // Writes back the values before (after) the last undone step; false when there is none or
    // it does not fit `count` samples.
    bool Undo(DataPoint* samples, std::size_t count);
    bool Redo(DataPoint* samples, std::size_t count);
    bool CanUndo() const { return done > 0; }
    bool CanRedo() const { return done < steps.size(); }
    void Clear();
    std::size_t Bytes() const { return bytes; }
    std::size_t Steps() const { return steps.size(); }

private:
    struct Step {
        std::size_t first = 0;
        std::vector<double> before, after;
        std::size_t Bytes() const { return (before.size() + after.size()) * sizeof(double); }
    };

    std::deque<Step> steps;
    std::size_t done = 0; // steps[0, done) are in effect
    std::size_t bytes = 0;
    std::size_t limit;
    Step open;
    bool isOpen = false;
};
