#include "ui/window_geometry.h"

#include <algorithm>
#include <optional>

#include "platform/counter_store.h"

namespace quorvan {
namespace {

constexpr const char* kStoreName = "windows";

}  // namespace

QSize SmallestWindowSize(QSize compact, QSize needed, QSize available, int scrollBar) {
    QSize smallest = compact;
    if (available.isValid() && !available.isEmpty()) {
        if (compact.height() > available.height()) {
            smallest.rwidth() += scrollBar;
        }
        if (compact.width() > available.width()) {
            smallest.rheight() += scrollBar;
        }
        smallest = smallest.boundedTo(available);
    }
    return smallest.expandedTo(needed);
}

CWindowGeometryStore::CWindowGeometryStore() : folder_(CCounterStore::DefaultFolder()) {}

CWindowGeometryStore::CWindowGeometryStore(std::string folder) : folder_(std::move(folder)) {}

QByteArray CWindowGeometryStore::Load(const std::string& window) const {
    const std::optional<std::string> text = CCounterStore(folder_, kStoreName).Read(window);
    if (!text) {
        return {};
    }
    return QByteArray::fromBase64(QByteArray::fromStdString(*text));
}

bool CWindowGeometryStore::Save(const std::string& window, const QByteArray& geometry) {
    // Base64 keeps the value on one line of the text store.
    return CCounterStore(folder_, kStoreName).Write(window, geometry.toBase64().toStdString());
}

}  // namespace quorvan
