#pragma once

#include <QString>
#include <string>

namespace quorvan {

// Converts between the core's byte strings (UTF-8 in practice) and Qt text.
QString ToQt(const std::string& text);
std::string FromQt(const QString& text);

}  // namespace quorvan
