#pragma once

// Control numbers of the settings pages and of the main window. Numbers are
// unique within one page only.
namespace quorvan::ids {

// Rename page.
constexpr int kTextModifications = 1018;
constexpr int kSequencing = 1019;
constexpr int kAddPrefix = 1020;
constexpr int kPrefix = 1021;
constexpr int kAddSuffix = 1022;
constexpr int kSuffix = 1023;
constexpr int kReplaceString = 1024;
constexpr int kSearchText = 1025;
constexpr int kReplaceText = 1026;
constexpr int kChangeCase = 1027;
constexpr int kUpperCase = 1031;
constexpr int kLowerCase = 1032;
constexpr int kWithLabel = 1081;
constexpr int kCaseNote = 1143;
constexpr int kSequencePrefix = 1140;
constexpr int kSequenceSuffix = 1141;
constexpr int kSequenceReplace = 1142;
constexpr int kSeqAddPrefix = 1076;
constexpr int kSeqPrefix = 1108;
constexpr int kSeqAddSuffix = 1061;
constexpr int kSeqSuffix = 1109;
constexpr int kNumericSequence = 1033;
constexpr int kNumericStartLabel = 1082;
constexpr int kNumericStart = 1035;
constexpr int kDigitsLabel = 1083;
constexpr int kDigits = 1036;
constexpr int kAlphaSequence = 1034;
constexpr int kAlphaStartLabel = 1084;
constexpr int kAlphaStart = 1037;
constexpr int kCharactersLabel = 1085;
constexpr int kCharacters = 1038;

// Extended page.
constexpr int kChangeExtension = 1043;
constexpr int kNewExtension = 1044;
constexpr int kConcatExtension = 1110;
constexpr int kConcatText = 1111;
constexpr int kIncludeSubfolders = 1113;
constexpr int kGenerateLog = 1061;
constexpr int kGenerateUndo = 1114;
constexpr int kRenameExisting = 1039;
constexpr int kCopyThenRename = 1040;
constexpr int kDestinationLabel = 1094;
constexpr int kDestinationFolder = 1041;
constexpr int kDestinationBrowse = 1042;

// Attribute page.
constexpr int kModifyAttributes = 1047;
constexpr int kReadOnly = 1048;
constexpr int kHidden = 1049;
constexpr int kSystem = 1050;
constexpr int kArchive = 1051;
constexpr int kModifyDateTime = 1052;
constexpr int kCreationDateTime = 1054;
constexpr int kCreationDate = 1055;
constexpr int kCreationTime = 1090;
constexpr int kModifiedDateTime = 1056;
constexpr int kModifiedDate = 1057;
constexpr int kModifiedTime = 1091;
constexpr int kLastAccessedDateTime = 1097;
constexpr int kLastAccessedDate = 1059;
constexpr int kLastAccessedTime = 1093;

// CD audio page.
constexpr int kRenameCdAudio = 1131;
constexpr int kCdDriveLabel = 1134;
constexpr int kCdDrive = 1125;
constexpr int kGetNames = 1126;
constexpr int kTracksSelectAll = 1144;
constexpr int kTracksDeselectAll = 1145;
constexpr int kTracksInvert = 1146;
constexpr int kSelectedTracksLabel = 1135;
constexpr int kRetrievedNamesLabel = 1136;
constexpr int kSelectedTracks = 1129;
constexpr int kRetrievedNames = 1130;
constexpr int kMoveUp = 1132;
constexpr int kMoveDown = 1133;
constexpr int kPlay = 1140;
constexpr int kStop = 1142;
constexpr int kRetrievedNameColumn = 1;

// Main window.
constexpr int kSourceList = 1004;
constexpr int kSelectAll = 1102;
constexpr int kDeselectAll = 1103;
constexpr int kInvertSelected = 1104;

}  // namespace quorvan::ids
