#include "cdaudio/cddb_settings.h"

#include <charconv>
#include <cstdlib>

#include "platform/counter_store.h"

namespace quorvan {

namespace {

constexpr const char* kStoreName = "cddb";
constexpr const char* kValueHost = "CddbServerHost";
constexpr const char* kValuePort = "CddbServerPort";
constexpr const char* kValueEmail = "CddbEmailAddress";

bool ParsePort(std::string_view text, int32_t& port) {
    int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > 65535) {
        return false;
    }
    port = value;
    return true;
}

bool HasBlankOrControl(std::string_view text) {
    for (unsigned char c : text) {
        if (c <= ' ' || c == 0x7f) {
            return true;
        }
    }
    return false;
}

}  // namespace

CCddbSettingsStore::CCddbSettingsStore() : folder_(CCounterStore::DefaultFolder()) {}

CCddbSettingsStore::CCddbSettingsStore(std::string folder) : folder_(std::move(folder)) {}

CddbSettings CCddbSettingsStore::Load() const {
    CddbSettings settings;
    CCounterStore store(folder_, kStoreName);
    auto values = store.ReadAll();
    if (!values) {
        return settings;
    }
    CddbSettings read = settings;
    if (auto it = values->find(kValueHost); it != values->end()) {
        read.host = it->second;
    }
    if (auto it = values->find(kValuePort); it != values->end()) {
        ParsePort(it->second, read.port);
    }
    if (auto it = values->find(kValueEmail); it != values->end()) {
        read.email = it->second;
    }
    // A hand-edited store with a bad host or address falls back to the
    // defaults rather than sending a broken request.
    if (!ValidateCddbSettings({read.host, read.port, ""}).empty()) {
        read.host = settings.host;
        read.port = settings.port;
    }
    if (!ValidateCddbSettings({read.host, read.port, read.email}).empty()) {
        read.email.clear();
    }
    return read;
}

bool CCddbSettingsStore::Save(const CddbSettings& settings) {
    if (!ValidateCddbSettings(settings).empty()) {
        return false;
    }
    CCounterStore store(folder_, kStoreName);
    return store.Update([&](CCounterStore::Values& values) {
        values[kValueHost] = settings.host;
        values[kValuePort] = std::to_string(settings.port);
        values[kValueEmail] = settings.email;
        return true;
    });
}

std::string ValidateCddbSettings(const CddbSettings& settings) {
    if (settings.host.empty()) {
        return "Please enter the CDDB server's host name.";
    }
    if (HasBlankOrControl(settings.host) ||
        settings.host.find_first_of("/?#@&+") != std::string::npos) {
        return "The server host name may hold neither blanks nor any of / ? # @ & +.";
    }
    if (settings.port < 1 || settings.port > 65535) {
        return "The port must be a number from 1 to 65535.";
    }
    if (!settings.email.empty()) {
        size_t at = settings.email.rfind('@');
        if (at == std::string::npos || at == 0 || at + 1 >= settings.email.size() ||
            HasBlankOrControl(settings.email) || settings.email.find('@') != at) {
            return "The e-mail address must have the form name@example.org.";
        }
    }
    return {};
}

bool ParseServerAddress(std::string_view text, std::string& host, int32_t& port) {
    std::string_view hostPart;
    std::string_view portPart;
    if (!text.empty() && text.front() == '[') {
        size_t close = text.find(']');
        if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':') {
            return false;
        }
        hostPart = text.substr(1, close - 1);
        portPart = text.substr(close + 2);
    } else {
        size_t colon = text.rfind(':');
        if (colon == std::string_view::npos || text.find(':') != colon) {
            return false;
        }
        hostPart = text.substr(0, colon);
        portPart = text.substr(colon + 1);
    }
    int32_t value = 0;
    if (hostPart.empty() || HasBlankOrControl(hostPart) || !ParsePort(portPart, value)) {
        return false;
    }
    host = hostPart;
    port = value;
    return true;
}

CddbSite EffectiveCddbServer(const CddbSettings& settings) {
    CddbSite site;
    site.host = settings.host;
    site.port = settings.port;
    site.path = kCddbPath;
    if (const char* server = getenv("QUORVAN_CDDB_SERVER"); server != nullptr) {
        std::string host;
        int32_t port = 0;
        if (ParseServerAddress(server, host, port)) {
            site.host = host;
            site.port = port;
        }
    }
    return site;
}

}  // namespace quorvan
