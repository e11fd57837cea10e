#pragma once

#include <QString>
#include <string>

namespace quorvan {

// A text the core hands the window (a caption, a run's or a CD lookup's
// message) in the user's language when it is one of the core's fixed texts;
// any other text, names and numbers within, exactly as it came.
QString CoreText(const std::string& text);

}  // namespace quorvan
