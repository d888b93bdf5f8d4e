#pragma once
// The program's vocabulary: command ids, the string table, the menu and the toolbar as data.

#include <string>
#include <vector>

#include "platform/Types.h"

constexpr UINT ID_FILE_NEW = 32784;
constexpr UINT ID_FILE_OPEN = 32771;
constexpr UINT ID_FILE_SAVE = 32772;
constexpr UINT ID_FILE_SAVE_C = 32773;
constexpr UINT ID_TOOL_ZOOM = 32774;
constexpr UINT ID_TOOL_PAN = 32775;
constexpr UINT ID_TOOL_EDIT = 32776;
constexpr UINT ID_TOOL_VIEW_RESET = 32777;
constexpr UINT ID_TOOL_CURSOR = 32780;
constexpr UINT ID_TOOL_EDIT_PLUS = 32782;
constexpr UINT ID_TOOL_FREEHAND = 32785;
constexpr UINT ID_WAVE_EXPORT_TABLE = 32800;
constexpr UINT ID_WAVE_UNDO = 32801;
constexpr UINT ID_WAVE_REDO = 32802;
constexpr UINT ID_WAVE_GENERATE = 32803;
constexpr UINT ID_WAVE_IMPORT = 32804;
constexpr UINT ID_WAVE_PASTE = 32805;
constexpr UINT ID_WAVE_NORMALISE = 32810;
constexpr UINT ID_WAVE_SCALE = 32811;
constexpr UINT ID_WAVE_REMOVE_DC = 32812;
constexpr UINT ID_WAVE_INVERT = 32813;
constexpr UINT ID_WAVE_REVERSE = 32814;
constexpr UINT ID_WAVE_SMOOTH = 32815;
constexpr UINT ID_WAVE_QUANTISE = 32816;
constexpr UINT ID_WAVE_CLIP = 32817;
constexpr UINT ID_WAVE_RESAMPLE = 32818;
constexpr UINT ID_WAVE_ANALYSE = 32819;
constexpr UINT ID_WAVE_PLAY = 32820;
// Wave > Bank: a submenu at the end of the Wave menu.
constexpr UINT ID_WAVE_BANK = 32829;
constexpr UINT ID_BANK_NEW = 32830;
constexpr UINT ID_BANK_OPEN = 32831;
constexpr UINT ID_BANK_SAVE = 32832;
constexpr UINT ID_BANK_EXPORT_TABLE = 32833;
constexpr UINT ID_BANK_PREVIOUS = 32834;
constexpr UINT ID_BANK_NEXT = 32835;
constexpr UINT ID_BANK_GO_TO = 32836;
constexpr UINT ID_BANK_ADD = 32837;
constexpr UINT ID_BANK_DUPLICATE = 32838;
constexpr UINT ID_BANK_DELETE = 32839;
constexpr UINT ID_BANK_EARLIER = 32840;
constexpr UINT ID_BANK_LATER = 32841;
constexpr UINT ID_BANK_TAKE_FRAME = 32842;
constexpr UINT ID_BANK_MORPH = 32843;
constexpr UINT ID_BANK_MIPMAPS = 32844;
constexpr UINT ID_BANK_NEIGHBOURS = 32845;
constexpr UINT ID_BANK_FROM_FILES = 32846;
constexpr UINT ID_BANK_SPLIT = 32847;
constexpr UINT ID_BANK_CYCLES = 32848;
constexpr UINT ID_BANK_OVERVIEW = 32849;
constexpr UINT ID_APP_ABOUT = 57664;
constexpr UINT ID_APP_EXIT = 57665;
constexpr UINT ID_SEPARATOR = 0;

constexpr UINT IDR_MAINFRAME = 128;
constexpr UINT IDS_APP_NAME = 57344;
constexpr UINT IDS_READY = 57345;
constexpr UINT IDS_CAPS = 59137;
constexpr UINT IDS_NUM = 59138;
constexpr UINT IDS_SCROLL = 59139;
constexpr UINT IDS_OUT_OF_MEMORY = 61475;
constexpr UINT IDS_INTERNAL_ERROR = 61704;
constexpr UINT IDS_COMMAND_FAILED = 61705;

constexpr UINT ViewId = 59648;    // the framework's first pane
constexpr UINT ToolbarId = 59392; // the framework's toolbar
constexpr UINT StatusBarId = 59393;

// A string resource, or null when there is none.
const char* LoadString(UINT id);
// The status-bar prompt (before "\n") and the tool tip (after it) of a command.
std::string CommandPrompt(UINT id);
std::string CommandTip(UINT id);
bool HasCommandString(UINT id);

struct MenuItem {
    const char* text; // null for a separator
    UINT id;
};
struct MenuPopup {
    const char* title;
    std::vector<MenuItem> items;
};
const std::vector<MenuPopup>& MainMenu();
// The items of Wave > Bank (ID_WAVE_BANK in the Wave menu).
const std::vector<MenuItem>& BankMenu();

// The toolbar's buttons in order; ID_SEPARATOR for a gap. Images follow the buttons.
const std::vector<UINT>& ToolbarButtons();
constexpr int ToolbarButtonWidth = 16;
constexpr int ToolbarButtonHeight = 17;
