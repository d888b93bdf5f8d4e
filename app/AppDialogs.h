#pragma once
// The editor's message boxes and dialogs, behind one interface so tests script the answers.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "files/DataPoint.h"
#include "files/Progress.h"
#include "files/TableExport.h"
#include "platform/Types.h"
#include "wave/Generators.h"

constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_ICONSTOP = 0x0010;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;
constexpr UINT MB_DEFBUTTON2 = 0x0100;
constexpr UINT MB_SYSTEMMODAL = 0x1000;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct FileDialogRequest {
    bool save = false;
    std::string defaultExtension;
    std::string initialFile;   // full path or empty
    std::string initialFolder; // empty leaves it to the desktop
    std::string filter;        // "Name|pattern|Name|pattern||"
    int filterIndex = 1;       // the entry chosen at first, 1 for the first
};

// One value a Wave dialog asks for.
struct TransformField {
    enum When { Always, OptionOn, OptionOff }; // when it applies, by the check box
    std::string label;
    double value = 0;
    bool integer = false; // whole numbers only
    double min = -1e15, max = 1e15;
    When when = Always;
};

// A transform's parameters as a small dialog asks for them, and the samples it acts on.
struct TransformRequest {
    std::string title;                  // "Normalise", ...
    std::string note;                   // a line of explanation above the fields, if any
    std::vector<TransformField> values; // shown and read back
    std::string option;                 // a check box when not empty
    bool checked = false;
    unsigned optionChoices = ~0u; // the choices (bit by index) under which it applies
    std::string choiceLabel = "Method:";
    std::vector<std::string> choices; // a list to choose from when not empty
    int choice = 0;
    bool range = true;                 // the samples can be chosen; else the whole waveform
    std::uint32_t first = 0, last = 0; // sample indexes, both included; all at first
    std::uint32_t count = 0;           // the waveform's sample count
    // In a bank of `frames` frames: the frames it acts on, both included (from 0; the one
    // shown at first), and where offered, the frames taken as one (Normalise).
    std::uint32_t frames = 0;
    std::uint32_t firstFrame = 0, lastFrame = 0;
    std::string asOne;
    bool framesAsOne = false;
    // Why the answers cannot be used (empty when they can): OK then keeps the dialog open.
    std::function<std::string(const TransformRequest&)> check;
    // Shows what the answers would do, on the graph, as they change (and once at first).
    std::function<void(const TransformRequest&)> preview;
};

struct FileDialogResult {
    std::string path;
    int filterIndex = 1; // 1 for the first entry
};

class CAppDialogs {
public:
    virtual ~CAppDialogs() = default;
    // Returns IDOK, IDYES, IDNO or (MB_YESNOCANCEL) IDCANCEL.
    virtual int MessageBox(const std::string& text, UINT type) = 0;
    // The New Data dialog opened with `count`; false on Cancel.
    virtual bool NewData(std::uint32_t& count) = 0;
    virtual std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request) = 0;
    // Open with several files chosen at once; empty on Cancel. This one asks for one.
    virtual std::vector<std::string> OpenFiles(const FileDialogRequest& request) {
        const std::optional<FileDialogResult> chosen = FileDialog(request);
        return chosen ? std::vector<std::string>{chosen->path} : std::vector<std::string>{};
    }
    // Export Table's options, shown with a preview of the samples; false on Cancel.
    virtual bool ExportTable(TableOptions& options, const DataPoint* points, std::size_t count) = 0;
    // Generate's options and count; `preview` shows them on the graph as they change and
    // answers why they cannot be used (empty when they can). False on Cancel.
    using GeneratePreview = std::function<std::string(const GeneratorOptions&, std::uint32_t)>;
    virtual bool Generate(GeneratorOptions& options, std::uint32_t& count,
                          const GeneratePreview& preview) = 0;
    // A transform's parameters; false on Cancel.
    virtual bool Transform(TransformRequest& request) = 0;
    // The text on the clipboard, empty when there is none.
    virtual std::string ClipboardText() = 0;
    virtual void About() = 0;
    // Runs `work`, which steps the progress now and then; false when the user cancelled it
    // (the work then changed nothing it keeps). Exceptions of the work come out here. This
    // one runs it at once, here; the editor's runs it on a worker while the window keeps
    // painting, with a progress dialog after half a second.
    virtual bool RunLong(const std::string& what, const std::function<void(CProgress&)>& work) {
        (void)what;
        return RunHere(work);
    }
    // Runs `work` at once, here, with a progress nobody watches; false when it stopped itself
    // as a cancel does.
    static bool RunHere(const std::function<void(CProgress&)>& work) {
        CProgress progress;
        try {
            work(progress);
        } catch (const OperationCancelled&) {
            return false;
        }
        return true;
    }
};
