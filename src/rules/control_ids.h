#pragma once

// Control numbers of the Filter page and of the main window. Numbers are
// unique within one page only.
namespace quorvan::ids {

// Filter page.
constexpr int kFilterOnAttributes = 1060;
constexpr int kFilterInclude = 1127;
constexpr int kFilterExclude = 1128;
constexpr int kFilterReadOnly = 1066;
constexpr int kFilterHidden = 1065;
constexpr int kFilterSystem = 1064;
constexpr int kFilterArchive = 1067;
constexpr int kFilterOnTimes = 1061;
constexpr int kFilterCreation = 1068;
constexpr int kFilterCreationDate = 1072;
constexpr int kFilterCreationTime = 1087;
constexpr int kFilterCreationDir = 1121;
constexpr int kFilterModified = 1071;
constexpr int kFilterModifiedDate = 1070;
constexpr int kFilterModifiedTime = 1088;
constexpr int kFilterModifiedDir = 1123;
constexpr int kFilterLastAccessed = 1073;
constexpr int kFilterLastAccessedDate = 1074;
constexpr int kFilterLastAccessedTime = 1089;
constexpr int kFilterLastAccessedDir = 1124;
constexpr int kFilterOnExtensions = 1076;
constexpr int kFilterIncludeExtensions = 1095;
constexpr int kFilterIncludeList = 1077;
constexpr int kFilterExcludeExtensions = 1096;
constexpr int kFilterExcludeList = 1078;

// Main window.
constexpr int kSourceList = 1004;
constexpr int kSelectAll = 1102;
constexpr int kDeselectAll = 1103;
constexpr int kInvertSelected = 1104;

}  // namespace quorvan::ids
