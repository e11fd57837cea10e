// The CDDB reply parsers over arbitrary server replies: an HTTP reply as the
// gateway sends it, or a bare reply body as a CDDBP server sends it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cdaudio/cddb_reply.h"
#include "fuzz_support.h"

using quorvan::fuzz::Shown;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string_view> found = quorvan::ReplyBody(reply);
    if (found) {
        // The body is the tail of the reply after the end of the header.
        QUORVAN_FUZZ_CHECK(
            found->size() <= reply.size() && reply.substr(reply.size() - found->size()) == *found,
            "body %s is not the end of the reply", Shown(*found).c_str());
    }
    const std::string_view body = found ? *found : reply;

    const int status = quorvan::StatusCode(body);
    QUORVAN_FUZZ_CHECK(status == -1 || (status >= 0 && status <= 999), "status %d of %s", status,
                       Shown(body.substr(0, 3)).c_str());

    for (std::string_view line : quorvan::LinesAfterStatus(body)) {
        quorvan::CddbSite site;
        quorvan::ParseSiteLine(line, site);
        quorvan::CddbMatch match;
        quorvan::ParseMatchLine(line, match);
    }

    // The status line goes into a message: one short line of printable bytes.
    const std::string statusLine = quorvan::ReplyStatusLine(reply);
    QUORVAN_FUZZ_CHECK(statusLine.size() <= 200, "status line of %zu bytes", statusLine.size());
    for (unsigned char c : statusLine) {
        QUORVAN_FUZZ_CHECK(c >= 0x20 && c != 0x7f, "control byte in status line %s",
                           Shown(statusLine).c_str());
    }

    std::vector<quorvan::CddbSite> sites;
    quorvan::ParseSitesReply(body, sites);
    std::vector<quorvan::CddbMatch> matches;
    const quorvan::CddbParseResult query = quorvan::ParseQueryReply(body, matches);
    QUORVAN_FUZZ_CHECK(!query.ok || !matches.empty(), "a query without matches succeeded");
    return 0;
}
