#include "app/Resources.h"

#include <map>

namespace {

const std::map<UINT, const char*>& Strings() {
    static const std::map<UINT, const char*> table = {
        {32771, "Open data file\nOpen"},
        {32772, "Save to data file\nSave"},
        {32773, "Save as C suorce\nSave C"},
        {32774, "\nZoom"},
        {32775, "\nPan"},
        {32776, "\nEdit"},
        {32777, "\nView Reset"},
        {32780, "\nCursor"},
        {32782, "\nEdit+"},
        {32785, "\nFreehand"},
        {57664, "Display program information, version number and copyright\nAbout"},
        {57665, "Quit the application; prompts to save documents\nExit"},
        {32800, "Export the waveform as a C table for firmware\nExport Table"},
        {32819,
         "Show the spectrum and the figures of the waveform and of the table as stored\nAnalyse"},
        {32820, "Play the waveform as a looped oscillator, or stop it\nPlay"},
        {32801, "Undo the last change of the waveform\nUndo"},
        {32802, "Redo the change undone last\nRedo"},
        {32803, "Make the waveform from a shape or an expression\nGenerate"},
        {32804, "Read a waveform from a WAV or a delimited text file\nImport"},
        {32805, "Read the numbers on the clipboard as the waveform\nImport from Clipboard"},
        {32810, "Scale the samples to a peak\nNormalise"},
        {32811, "Multiply the samples and add an offset\nScale and Offset"},
        {32812, "Make the samples' mean zero\nRemove DC"},
        {32813, "Turn the samples upside down\nInvert"},
        {32814, "Reverse the order of the samples\nReverse"},
        {32815, "Average each sample with its neighbours\nSmooth"},
        {32816, "Round the samples to 2^bits levels of a range\nQuantise"},
        {32817, "Hold the samples to a range\nClip"},
        {32818, "Make the waveform as long as a table needs\nResample"},
        {32830, "Start a bank of frames, all silent\nNew Bank"},
        {32831, "Open a wavetable bank: a WAV, a .wt or a text bank\nOpen Bank"},
        {32832, "Save every frame of the bank in a synth's form\nSave Bank"},
        {32833, "Export every frame of the bank as one table\nExport Bank Table"},
        {32834, "Show the frame before this one\nPrevious Frame"},
        {32835, "Show the frame after this one\nNext Frame"},
        {32836, "Show a frame by its number\nGo to Frame"},
        {32837, "Add a silent frame after this one\nAdd Frame"},
        {32838, "Add a copy of this frame after it\nDuplicate Frame"},
        {32839, "Delete this frame from the bank\nDelete Frame"},
        {32840, "Move this frame one place earlier\nMove Earlier"},
        {32841, "Move this frame one place later\nMove Later"},
        {32842, "Close the bank, keeping this frame as the waveform\nTake Frame as Waveform"},
        {32843,
         "Make the frames between two frames, linearly or harmonic by harmonic\nMorph Frames"},
        {32844, "Export band-limited tables for every octave, so a table played high does not "
                "alias\nExport Mipmaps"},
        {32845, "Show the frames beside this one, grey, behind it\nShow Neighbour Frames"},
        {32846, "Make frames of data files or single-cycle WAV files, each resampled to the "
                "bank's frame size\nFrames from Files"},
        {32847, "Save every frame as a data file of its own\nSplit into Files"},
        {32848, "Cut a recording into single cycles and make them the frames of a new bank\nCycles "
                "from a Recording"},
        {32849, "Show every frame of the bank as a waterfall; a click on one shows it\nBank "
                "Overview"},
        {128, "Tarvelin 1.7"},
        {57344, "Tarvelin"},
        {57345, "Ready"},
        {59137, "CAP"},
        {59138, "NUM"},
        {59139, "SCRL"},
        {61475, "Out of memory."},
        {61704, "Internal application error."},
        {61705, "Command failed."},
        // The framework's file-error texts: 61856 + cause, starting with the cause "none".
        {61856, "No error occurred."},
        {61857, "An unexpected error occurred while accessing %1."},
        {61858, "%1 was not found."},
        {61859, "%1 contains an invalid path."},
        {61860, "%1 could not be opened because there are too many open files."},
        {61861, "Access to %1 was denied."},
        {61862, "An invalid file handle was associated with %1."},
        {61863, "%1 could not be removed because it is the current directory."},
        {61864, "%1 could not be created because the directory is full."},
        {61865, "Seek failed on %1"},
        {61866, "A hardware I/O error was reported while accessing %1."},
        {61867, "A sharing violation occurred while accessing %1."},
        {61868, "A locking violation occurred while accessing %1."},
        {61869, "Disk full while accessing %1."},
        {61870, "An attempt was made to access %1 past its end."},
    };
    return table;
}

} // namespace

const char* LoadString(UINT id) {
    auto it = Strings().find(id);
    return it == Strings().end() ? nullptr : it->second;
}

bool HasCommandString(UINT id) {
    return LoadString(id) != nullptr;
}

std::string CommandPrompt(UINT id) {
    const char* s = LoadString(id);
    if (!s)
        return {};
    const std::string text = s;
    return text.substr(0, text.find('\n'));
}

std::string CommandTip(UINT id) {
    const char* s = LoadString(id);
    if (!s)
        return {};
    const std::string text = s;
    const auto nl = text.find('\n');
    return nl == std::string::npos ? std::string() : text.substr(nl + 1);
}

const std::vector<MenuPopup>& MainMenu() {
    static const std::vector<MenuPopup> menu = {
        {"&File",
         {{"New", ID_FILE_NEW},
          {"Open...", ID_FILE_OPEN},
          {nullptr, 0},
          {"Save...", ID_FILE_SAVE},
          {"Save C Source...", ID_FILE_SAVE_C},
          {nullptr, 0},
          {"E&xit", ID_APP_EXIT}}},
        {"&Tool",
         {{"Zoom", ID_TOOL_ZOOM},
          {"Pan", ID_TOOL_PAN},
          {nullptr, 0},
          {"Cursor", ID_TOOL_CURSOR},
          {"Edit", ID_TOOL_EDIT},
          {"Edit+", ID_TOOL_EDIT_PLUS},
          {"Freehand", ID_TOOL_FREEHAND},
          {nullptr, 0},
          {"View Reset", ID_TOOL_VIEW_RESET}}},
        {"&Wave",
         {{"&Undo", ID_WAVE_UNDO},
          {"&Redo", ID_WAVE_REDO},
          {nullptr, 0},
          {"Generate...", ID_WAVE_GENERATE},
          {"Import...", ID_WAVE_IMPORT},
          {"Import from Clipboard", ID_WAVE_PASTE},
          {"Normalise...", ID_WAVE_NORMALISE},
          {"Scale and Offset...", ID_WAVE_SCALE},
          {"Remove DC...", ID_WAVE_REMOVE_DC},
          {"Invert...", ID_WAVE_INVERT},
          {"Reverse...", ID_WAVE_REVERSE},
          {"Smooth...", ID_WAVE_SMOOTH},
          {"Quantise...", ID_WAVE_QUANTISE},
          {"Clip...", ID_WAVE_CLIP},
          {"Resample...", ID_WAVE_RESAMPLE},
          {nullptr, 0},
          {"Analyse...", ID_WAVE_ANALYSE},
          {"Play", ID_WAVE_PLAY},
          {nullptr, 0},
          {"Export Table...", ID_WAVE_EXPORT_TABLE},
          {nullptr, 0},
          {"Bank", ID_WAVE_BANK}}},
        {"&Help", {{"&About Tarvelin...", ID_APP_ABOUT}}},
    };
    return menu;
}

const std::vector<MenuItem>& BankMenu() {
    static const std::vector<MenuItem> items = {{"New Bank...", ID_BANK_NEW},
                                                {"Open Bank...", ID_BANK_OPEN},
                                                {"Save Bank...", ID_BANK_SAVE},
                                                {"Export Bank Table...", ID_BANK_EXPORT_TABLE},
                                                {nullptr, 0},
                                                {"Previous Frame", ID_BANK_PREVIOUS},
                                                {"Next Frame", ID_BANK_NEXT},
                                                {"Go to Frame...", ID_BANK_GO_TO},
                                                {nullptr, 0},
                                                {"Add Frame", ID_BANK_ADD},
                                                {"Duplicate Frame", ID_BANK_DUPLICATE},
                                                {"Delete Frame", ID_BANK_DELETE},
                                                {"Move Earlier", ID_BANK_EARLIER},
                                                {"Move Later", ID_BANK_LATER},
                                                {nullptr, 0},
                                                {"Morph Frames...", ID_BANK_MORPH},
                                                {"Export Mipmaps...", ID_BANK_MIPMAPS},
                                                {"Frames from Files...", ID_BANK_FROM_FILES},
                                                {"Split into Files...", ID_BANK_SPLIT},
                                                {"Cycles from a Recording...", ID_BANK_CYCLES},
                                                {"Show Neighbour Frames...", ID_BANK_NEIGHBOURS},
                                                {"Bank Overview", ID_BANK_OVERVIEW},
                                                {nullptr, 0},
                                                {"Take Frame as Waveform", ID_BANK_TAKE_FRAME}};
    return items;
}

const std::vector<UINT>& ToolbarButtons() {
    static const std::vector<UINT> buttons = {
        ID_FILE_OPEN,     ID_SEPARATOR, ID_FILE_SAVE,       ID_FILE_SAVE_C, ID_SEPARATOR,
        ID_TOOL_ZOOM,     ID_TOOL_PAN,  ID_TOOL_CURSOR,     ID_TOOL_EDIT,   ID_TOOL_EDIT_PLUS,
        ID_TOOL_FREEHAND, ID_SEPARATOR, ID_TOOL_VIEW_RESET, ID_SEPARATOR,   ID_WAVE_PLAY};
    return buttons;
}
