#pragma once
// Steps back and forth over a waveform's Y values. A step keeps only what it changed: one
// range of samples with the values of the other side (before it while it is in effect, after
// it once undone); Undo and Redo swap them with the samples, so a step costs 8 bytes a sample.
// A step is opened by the first change and widened by later ones (the values of newly covered
// samples are read before they change), and closed when the drag, stroke or command ends. A
// step that replaces the whole waveform keeps the other waveform and the document it belonged
// to. The history holds at most its allowance, read at each new step, and drops its oldest
// steps to stay within it; an edit never fails for want of room.
// In a bank every step names the frame it changed (the frame current when it was made), and
// inserting, removing and moving frames are steps of their own.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "files/DataPoint.h"

class UndoHistory {
public:
    // What a waveform belongs to: the name its title shows and the files it came from and
    // was saved to.
    struct Document {
        std::string name;
        std::string dataPath;
        std::string savePath;
    };

    explicit UndoHistory(std::size_t maxBytes) : allowance([maxBytes] { return maxBytes; }) {}
    explicit UndoHistory(std::function<std::size_t()> maxBytes) : allowance(std::move(maxBytes)) {}

    // Samples [first, last] of `samples` are about to change. Where their values cannot be
    // kept for want of memory, the oldest steps make room; with none left the change goes
    // unrecorded (and the history starts again after it).
    void Touch(const DataPoint* samples, std::size_t first, std::size_t last);
    // The open step is complete; `samples` hold its new values. Unchanged samples at either
    // end are left out; a step that changed nothing is not kept.
    void Commit(const DataPoint* samples);
    // The whole waveform was replaced (its count perhaps changed): `before` holds the Y values
    // it had and `document` what it belonged to.
    void RecordReplace(std::vector<double> before, Document document);

    // A bank's frames: the frame later steps are made on.
    void SetFrame(std::uint32_t current) { frame = current; }
    // What a structural step did: a frame inserted at `at` (Remove takes it out again), the
    // frame at `at` removed, the frame at `at` moved to `to`, or every frame given another
    // size (Reshape: the values are the whole other bank, `to` its frame size).
    enum class FrameChange { None, Insert, Remove, Move, Reshape };
    // Frames were inserted, removed or moved. A removed frame's values are kept here.
    void RecordFrames(FrameChange change, std::uint32_t at, std::uint32_t to,
                      std::vector<double> removed = {});
    // The frame the step Undo (Redo) would take is made on; 0 without a step.
    std::uint32_t UndoFrame() const { return CanUndo() ? steps[done - 1].frame : 0; }
    std::uint32_t RedoFrame() const { return CanRedo() ? steps[done].frame : 0; }

    // Where a step is written back: the samples in place, or, for a step that replaced the
    // waveform, `replace` puts the Y values in place of the waveform and gives back the old
    // ones in the same vector (false when it cannot), and `swapDocument` exchanges the
    // document.
    struct Target {
        DataPoint* points;
        std::size_t count;
        std::function<bool(std::vector<double>&)> replace;
        std::function<void(Document&)> swapDocument;
    };
    // Where a bank's frames change: inserts `values` as frame `at` (taking them), removes
    // frame `at` (giving its values in `values`), or moves frame `at` to `to`; false when it
    // cannot.
    using FrameChanges = std::function<bool(FrameChange, std::uint32_t at, std::uint32_t to,
                                            std::vector<double>& values)>;
    // A bank's frame's samples, for the steps of a group made on other frames than the one
    // shown.
    using FramePoints = std::function<DataPoint*(std::uint32_t frame)>;
    // Writes back the waveform before (after) the last undone step; false when there is none
    // or it cannot be written.
    bool Undo(const Target& target, const FrameChanges& frames = {},
              const FramePoints& points = {});
    bool Redo(const Target& target, const FrameChanges& frames = {},
              const FramePoints& points = {});

    // The steps made until EndGroup are one step, undone and redone together. CancelGroup
    // takes them back at once (a run that failed half-way) and keeps none.
    void BeginGroup();
    void EndGroup();
    bool CancelGroup(const Target& target, const FrameChanges& frames, const FramePoints& points);
    bool CanUndo() const { return done > 0; }
    bool CanRedo() const { return done < steps.size(); }
    // A drag or stroke is under way: its step is not complete yet, but Undo would close it.
    bool HasOpenStep() const { return isOpen; }
    // Undo would replace the waveform (and so perhaps its count).
    bool UndoReplaces() const { return CanUndo() && steps[done - 1].replace; }
    bool RedoReplaces() const { return CanRedo() && steps[done].replace; }
    // Undo (Redo) would insert, remove or move a bank's frames.
    bool UndoChangesFrames() const { return CanUndo() && steps[done - 1].ChangesFrames(); }
    bool RedoChangesFrames() const { return CanRedo() && steps[done].ChangesFrames(); }

    // The samples now match the file: Undo and Redo that come back here are no change.
    void MarkSaved() { saved = done; }
    bool AtSaved() const { return saved && *saved == done; }

    void Clear();
    // Drops the oldest step to give memory back; false when there is none.
    bool DropOldest();
    std::size_t Bytes() const { return bytes; }
    std::size_t Steps() const { return steps.size(); }

private:
    struct Step {
        std::vector<Step> group; // steps taken together: undone last first
        std::size_t first = 0;
        std::vector<double> values; // the other side's Y values of samples first...
        bool replace = false;       // values are the whole other waveform
        Document document;          // a replacement's other document
        std::uint32_t frame = 0;    // a bank's frame the step changed
        FrameChange change = FrameChange::None;
        std::uint32_t to = 0; // a move's destination
        std::size_t Bytes() const {
            std::size_t sum = values.size() * sizeof(double);
            for (const Step& s : group)
                sum += s.Bytes();
            return sum;
        }
        bool ChangesFrames() const {
            if (change != FrameChange::None)
                return true;
            for (const Step& s : group)
                if (s.ChangesFrames())
                    return true;
            return false;
        }
    };
    void Push(Step step);
    void Widen(const DataPoint* samples, std::size_t first, std::size_t last);
    bool Swap(Step& step, const Target& target, const FrameChanges& frames,
              const FramePoints& points, bool undo);

    std::function<std::size_t()> allowance;
    std::deque<Step> steps;
    std::size_t done = 0; // steps[0, done) are in effect
    std::size_t bytes = 0;
    std::uint32_t frame = 0; // a bank's current frame
    bool grouping = false;
    Step pending;                     // a group's steps so far
    std::optional<std::size_t> saved; // the value of `done` that matches the file
    Step open;
    bool isOpen = false;
    bool lost = false; // memory ran out for the change under way: it goes unrecorded
};
