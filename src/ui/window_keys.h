#pragma once

class QAbstractButton;
class QWidget;

namespace quorvan {

// Enter and Return never press a push button inside `window`, not even the
// focused one or the default button; the default button keeps its look.
// Space still presses the focused button. Covers the buttons that exist now.
void KeepEnterFromButtons(QWidget* window);

// `windowButton` and `pageButton` share a mnemonic. While both can be pressed
// (the page is showing), the key presses `pageButton`, the one beside the
// user's eyes; otherwise each works alone as usual.
void PreferPageMnemonic(QAbstractButton* windowButton, QAbstractButton* pageButton);

}  // namespace quorvan
