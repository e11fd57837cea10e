#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cdaudio/track_names.h"
#include "common/local_time.h"
#include "rules/rename_plan.h"
#include "rules/rename_settings.h"

namespace quorvan {

// The Rename, Extended, Attribute and CD Audio pages as plain values: what
// their controls show, text in switched-off boxes included. A default value
// is the page as the window opens.

// "UPPERCASE" or "lowercase"; after a load that does not change the case
// neither is selected.
enum class CaseChoice { None, Upper, Lower };

struct RenamePageState {
    bool textMode = true;  // "Text Modifications:", else "Sequencing:"
    bool addPrefix = false;
    std::string prefix;
    bool addSuffix = false;
    std::string suffix;
    bool changeCase = false;
    CaseChoice caseChoice = CaseChoice::Upper;
    bool replaceString = false;
    std::string searchText;
    std::string replaceText;

    int32_t placement = 0;        // as SequencePlacement: 0 prefix, 1 replace, 2 suffix, 3 none
    bool numericSequence = true;  // else "Alpha Sequence:"
    std::string numericStart;
    std::string digits;
    std::string alphaStart;
    std::string characters;
    bool seqAddPrefix = false;
    std::string seqPrefix;
    bool seqAddSuffix = false;
    std::string seqSuffix;

    bool operator==(const RenamePageState&) const = default;
};

struct ExtendedPageState {
    bool changeExtension = false;
    std::string newExtension;
    bool concatExtension = false;  // "Append the following (after extension):"
    std::string concatText;
    bool includeSubfolders = false;
    bool generateLog = false;
    bool generateUndo = false;
    bool renameInPlace = true;  // "Rename existing files", else copy first
    std::string destinationFolder;

    bool operator==(const ExtendedPageState&) const = default;
};

// One date/time group of the Attribute page: its box and its two pickers,
// which start at the current time.
struct DateTimePick {
    bool on = false;
    LocalDateTime date = CurrentLocalTime();
    LocalDateTime time = date;

    bool operator==(const DateTimePick&) const = default;
};

struct AttributePageState {
    bool modifyAttributes = false;
    bool readOnly = false;
    bool hidden = false;
    bool system = false;
    bool archive = false;
    bool modifyDateTime = false;
    DateTimePick creation;
    DateTimePick modified;
    DateTimePick lastAccessed;

    bool operator==(const AttributePageState&) const = default;
};

struct CdAudioPageState {
    bool renameCdAudio = false;
    std::vector<std::string> tracks;     // "Selected tracks:", top to bottom
    std::vector<RetrievedTitle> titles;  // "Retrieved track names:" with their ticks
};

// --- between the pages and the settings ---

// Reads the three pages into `kept`. A box switched off leaves the field it
// would fill as it was, and so does the mode not chosen; with "Modify
// Date/Time:" off the three groups keep theirs. Empty numeric sequence boxes
// read as 1 and 4 (see WithNumericDefaults). SourcePath is left alone.
RenameSettings SettingsFromPages(RenameSettings kept, const RenamePageState& rename,
                                 const ExtendedPageState& extended,
                                 const AttributePageState& attribute);
// The Rename page as gathering leaves it: in numeric sequencing an empty
// "Start with:" shows "1" and an empty "Digits:" shows "4".
RenamePageState WithNumericDefaults(RenamePageState page);

// The pages that show `settings`, as a loaded settings file leaves them.
// `shown` is what each page showed before: the Rename page keeps only its
// placement (none chosen changes nothing) and, in text mode, its sequence
// kind; every edit box outside the chosen mode and every box switched off is
// emptied or cleared, and no case is selected unless the case changes. The
// Extended page keeps the extension texts of boxes switched off, the
// Attribute page the pickers of groups switched off.
RenamePageState RenamePageFrom(const RenameSettings& settings, const RenamePageState& shown = {});
ExtendedPageState ExtendedPageFrom(const RenameSettings& settings,
                                   const ExtendedPageState& shown = {});
AttributePageState AttributePageFrom(const RenameSettings& settings,
                                     const AttributePageState& shown = {});
// A load switches CD naming off and empties the track list; the retrieved
// titles stay.
CdAudioPageState CdAudioPageAfterLoad(CdAudioPageState shown);

// What CD naming pairs: a track file per retrieved title, and the ticked
// titles in list order.
CdPairing PairingFrom(const CdAudioPageState& page);

// The settings as the window opens, every value behind a switch as the pages
// show it when the switch goes on: what the command line starts from.
RenameSettings OpeningSettings();

// --- what the user can change ---

struct RenamePageEnabled {
    bool textBoxes = false;  // the four text check boxes
    bool prefix = false;
    bool suffix = false;
    bool caseOptions = false;
    bool replaceFields = false;    // both edits, "with:" and the note
    bool sequenceChoices = false;  // placements, kinds, the two sequence boxes
    bool numericFields = false;    // edits and labels
    bool alphaFields = false;
    bool seqPrefix = false;
    bool seqSuffix = false;
};
RenamePageEnabled EnabledControls(const RenamePageState& page);

struct ExtendedPageEnabled {
    bool newExtension = false;
    bool concatText = false;
    bool destination = false;  // label, edit and "Browse..."
};
ExtendedPageEnabled EnabledControls(const ExtendedPageState& page);
// The main window's source list and its three selection buttons: a walk of
// the whole tree takes every file, so the list's ticks play no part then.
bool SourceListUsable(const ExtendedPageState& page);

struct AttributePageEnabled {
    bool attributeBoxes = false;
    bool groupBoxes = false;        // the three date/time boxes
    std::array<bool, 3> pickers{};  // creation, modified, last accessed
};
AttributePageEnabled EnabledControls(const AttributePageState& page);

// Every control of the CD Audio page but its own box follows that box.
bool CdControlsUsable(const CdAudioPageState& page);

}  // namespace quorvan
