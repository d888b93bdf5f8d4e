#pragma once
// Steps back and forth over a waveform's Y values. A step keeps only what it changed: one
// range of samples with their values before and after. A step is opened by the first change
// and widened by later ones (the values of newly covered samples are read before they change),
// and closed when the drag, stroke or command ends. The history holds at most a given number
// of bytes and drops its oldest steps to stay within it; an edit never fails for want of room.

#include <cstddef>
#include <deque>
#include <functional>
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
    // The whole waveform was replaced, its count perhaps changed: a step of both waveforms.
    void RecordReplace(std::vector<DataPoint> before, std::vector<DataPoint> after);

    // Where a step is written back: the samples in place, or, for a step that replaced the
    // waveform, a new waveform handed to `replace` (false when it cannot be taken).
    struct Target {
        DataPoint* points;
        std::size_t count;
        std::function<bool(const std::vector<DataPoint>&)> replace;
    };
    // Writes back the waveform before (after) the last undone step; false when there is none
    // or it cannot be written.
    bool Undo(const Target& target);
    bool Redo(const Target& target);
    bool CanUndo() const { return done > 0; }
    bool CanRedo() const { return done < steps.size(); }
    void Clear();
    std::size_t Bytes() const { return bytes; }
    std::size_t Steps() const { return steps.size(); }

private:
    struct Step {
        std::size_t first = 0;
        std::vector<double> before, after;
        std::vector<DataPoint> wholeBefore, wholeAfter; // a replacement
        bool replace = false;
        std::size_t Bytes() const {
            return (before.size() + after.size()) * sizeof(double) +
                   (wholeBefore.size() + wholeAfter.size()) * sizeof(DataPoint);
        }
    };
    void Push(Step step);
    bool Apply(const Step& step, bool forward, const Target& target);

    std::deque<Step> steps;
    std::size_t done = 0; // steps[0, done) are in effect
    std::size_t bytes = 0;
    std::size_t limit;
    Step open;
    bool isOpen = false;
};
