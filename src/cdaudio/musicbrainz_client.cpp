#include "cdaudio/musicbrainz_client.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "cdaudio/disc_id.h"
#include "cdaudio/get_names.h"
#include "common/product.h"
#include "platform/cdrom.h"
#include "platform/file_system.h"

namespace quorvan {

namespace {

bool IsLoopback(std::string_view host) {
    if (host == "[::1]") {
        return true;
    }
    in_addr address{};
    const std::string text(host);
    return inet_pton(AF_INET, text.c_str(), &address) == 1 && (ntohl(address.s_addr) >> 24) == 127;
}

bool HasUnsafeCharacter(std::string_view text) {
    for (unsigned char c : text) {
        if (c <= ' ' || c >= 0x7f || c == '?' || c == '#' || c == '@' || c == '\\') {
            return true;
        }
    }
    return false;
}

std::string Formatted(const char* format, const std::string& value) {
    char text[1024];
    snprintf(text, sizeof text, format, value.c_str());
    return text;
}

std::string Formatted(const char* format, long value) {
    char text[256];
    snprintf(text, sizeof text, format, value);
    return text;
}

std::string PlusJoined(const std::string& text) {
    std::string joined = text;
    std::replace(joined.begin(), joined.end(), ' ', '+');
    return joined;
}

// A failure for the user from a reply that is no success.
void Refused(const HttpReply& reply, MusicBrainzLookup& lookup) {
    if (reply.status == 0) {
        lookup.message = Formatted(kMusicBrainzUnreachable, reply.error);
        return;
    }
    lookup.message =
        reply.status == 503 ? kMusicBrainzBusy : Formatted(kMusicBrainzRefused, reply.status);
    lookup.details = MusicBrainzErrorText(reply.body);
}

}  // namespace

bool CheckMusicBrainzUrl(std::string_view url, std::string& error) {
    std::string_view rest;
    bool plain = false;
    if (url.rfind("https://", 0) == 0) {
        rest = url.substr(8);
    } else if (url.rfind("http://", 0) == 0) {
        rest = url.substr(7);
        plain = true;
    } else {
        error = "the MusicBrainz URL must start with https://";
        return false;
    }
    const std::string_view authority = rest.substr(0, rest.find('/'));
    std::string_view host = authority;
    if (!host.empty() && host.front() == '[') {
        host = host.substr(0, host.find(']') + 1);
    } else {
        host = host.substr(0, host.find(':'));
    }
    if (host.empty() || HasUnsafeCharacter(rest)) {
        error = "the MusicBrainz URL has no valid host";
        return false;
    }
    if (plain && !IsLoopback(host)) {
        error = "plain http:// is allowed only on a loopback address such as 127.0.0.1";
        return false;
    }
    return true;
}

bool EffectiveMusicBrainzUrl(std::string& url, std::string& error) {
    const char* configured = getenv("QUORVAN_MUSICBRAINZ_URL");
    std::string chosen =
        configured != nullptr && *configured != '\0' ? configured : kMusicBrainzUrl;
    if (!CheckMusicBrainzUrl(chosen, error)) {
        error = "QUORVAN_MUSICBRAINZ_URL: " + error;
        return false;
    }
    while (chosen.size() > 1 && chosen.back() == '/') {
        chosen.pop_back();
    }
    url = chosen;
    return true;
}

std::string MusicBrainzUserAgent() {
    return std::string(kProductName) + "/" + kVersionText + " ( " + kMusicBrainzContact + " )";
}

std::vector<std::string> MusicBrainzHeaders() {
    return {"User-Agent: " + MusicBrainzUserAgent(), "Accept: application/json"};
}

std::string DiscIdLookupUrl(const std::string& base, const std::string& discId) {
    return base + "/ws/2/discid/" + discId + "?inc=recordings+artist-credits&fmt=json";
}

std::string TocLookupUrl(const std::string& base, const std::string& discId,
                         const MusicBrainzToc& toc) {
    return base + "/ws/2/discid/" + discId + "?toc=" + PlusJoined(MusicBrainzTocText(toc)) +
           "&cdstubs=no&inc=recordings+artist-credits&fmt=json";
}

CMusicBrainzClient::CMusicBrainzClient(std::string baseUrl, IHttpFetcher& fetcher, IClock& clock)
    : baseUrl_(std::move(baseUrl)), fetcher_(fetcher), clock_(clock) {}

HttpReply CMusicBrainzClient::FetchOnce(const std::string& url) {
    if (notBefore_) {
        const auto now = clock_.Now();
        if (now < *notBefore_) {
            clock_.SleepFor(std::chrono::ceil<std::chrono::milliseconds>(*notBefore_ - now));
        }
    }
    const auto sent = clock_.Now();
    notBefore_ = sent + kSpacing;
    HttpReply reply = fetcher_.Get(url, MusicBrainzHeaders());
    if (reply.status == 503 && reply.retryAfterSeconds > 0) {
        // The service may ask for a longer pause; a hostile one not for long.
        notBefore_ = sent + std::clamp<std::chrono::milliseconds>(
                                std::chrono::seconds(std::min(reply.retryAfterSeconds, 60L)),
                                kSpacing, kLongestRetryWait);
    }
    return reply;
}

HttpReply CMusicBrainzClient::Fetch(const std::string& url) {
    HttpReply reply = FetchOnce(url);
    return reply.status == 503 ? FetchOnce(url) : reply;
}

MusicBrainzLookup CMusicBrainzClient::Lookup(const MusicBrainzToc& toc, const std::string& discId) {
    MusicBrainzLookup lookup;
    // By the disc id first; a disc MusicBrainz does not know by it may still be
    // found by its table of contents.
    for (const std::string& url :
         {DiscIdLookupUrl(baseUrl_, discId), TocLookupUrl(baseUrl_, discId, toc)}) {
        HttpReply reply = Fetch(url);
        if (reply.status == 200) {
            std::string error;
            if (!ParseMusicBrainzReleases(reply.body, discId, toc.TrackCount(), lookup.releases,
                                          error)) {
                lookup.message = kMusicBrainzBadReply;
                lookup.details = error;
                return lookup;
            }
        } else if (reply.status != 404) {
            Refused(reply, lookup);
            return lookup;
        }
        if (!lookup.releases.empty()) {
            break;
        }
    }
    if (lookup.releases.empty()) {
        lookup.message = kMusicBrainzUnknownDisc;
        return lookup;
    }
    lookup.ok = true;
    return lookup;
}

MusicBrainzNamesResult GetMusicBrainzNames(CMusicBrainzClient& client, const std::string& drive) {
    MusicBrainzNamesResult result;
    if (drive.empty()) {
        result.message = kNoDriveSelected;
        return result;
    }
    std::vector<CdTrackFacts> tracks;
    int error = ReadCdTracks(drive, tracks);
    if (error == 0 && tracks.empty()) {
        error = ENOMEDIUM;
    }
    const MusicBrainzToc toc = error == 0 ? MusicBrainzTocOf(tracks) : MusicBrainzToc();
    if (error == 0 && toc.offsets.empty()) {
        error = EMEDIUMTYPE;  // data tracks only
    }
    std::string why;
    if (error == 0) {
        result.discId = MusicBrainzDiscId(toc, &why);
        if (result.discId.empty()) {
            error = EINVAL;
        }
    }
    if (error != 0) {
        char text[512];
        snprintf(text, sizeof text,
                 "An error occurred while retrieving the DISC ID, Error:%d, Text:%s", error,
                 (why.empty() ? ErrorText(error) : why).c_str());
        result.message = text;
        return result;
    }
    result.table = BuildTrackTable(tracks);
    MusicBrainzLookup lookup = client.Lookup(toc, result.discId);
    if (!lookup.ok) {
        result.message = std::move(lookup.message);
        result.details = std::move(lookup.details);
        return result;
    }
    result.releases = std::move(lookup.releases);
    if (result.releases.size() == 1 &&
        !TitlesOfRelease(result.releases.front(), result.table, result.titles, result.message)) {
        return result;
    }
    result.ok = true;
    return result;
}

bool TitlesOfRelease(const MusicBrainzRelease& release, const CdTrackTable& table,
                     std::vector<RetrievedTitle>& titles, std::string& message) {
    if (release.tracks.empty()) {
        message = kMusicBrainzNoTitles;
        return false;
    }
    // The rows are made as for a CDDB entry, so both sources name files alike.
    CddbDiscRecord record;
    for (size_t i = 0; i < release.tracks.size(); ++i) {
        record.trackTitles.push_back(MusicBrainzTrackTitle(release, i));
    }
    titles = RetrievedTitles(record, table);
    return true;
}

}  // namespace quorvan
