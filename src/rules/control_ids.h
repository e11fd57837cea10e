#pragma once

// Control numbers of the main window's source list and its selection buttons.
namespace quorvan::ids {

// Main window.
constexpr int kSourceList = 1004;
constexpr int kSelectAll = 1102;
constexpr int kDeselectAll = 1103;
constexpr int kInvertSelected = 1104;

}  // namespace quorvan::ids
