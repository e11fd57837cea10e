#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cdaudio/cddb_types.h"

// Parsers of CDDB replies. Pure functions over text: no socket, no state, so
// that each can be tested and fuzzed on its own.
namespace quorvan {

// The text after the first "\r\n\r\n" (the end of the HTTP header); nothing
// when there is none.
std::optional<std::string_view> ReplyBody(std::string_view reply);

// The decimal value of the body's first three characters; -1 when the body is
// shorter than three characters or they are not all digits.
int StatusCode(std::string_view body);

// The server's own status line in a reply, with or without its HTTP header:
// the body's first line ("500 Command syntax error."), or the HTTP status
// line when the web server refused the request or there is no body. Line
// ends and control characters are left out; empty for an empty reply.
std::string ReplyStatusLine(std::string_view reply);

// The lines after the status line: split at "\r\n", or at "\n" where a line has
// no "\r\n"; the last needs no line end.
std::vector<std::string_view> LinesAfterStatus(std::string_view body);

// A line of the "sites" list: host, protocol ("http" only), port, path,
// latitude (N/S ddd.mm), longitude (E/W ddd.mm), description.
bool ParseSiteLine(std::string_view line, CddbSite& site);

// A match of a query: category, hexadecimal disc id, "artist / title".
bool ParseMatchLine(std::string_view line, CddbMatch& match);

// The results of the reply parsers. Failures carry the errno value the client
// reports (0 when the failure sets none, as for "no match").
struct CddbParseResult {
    bool ok = false;
    int error = 0;
};

// A "sites" reply body: status 210–219 and the accepted site lines.
CddbParseResult ParseSitesReply(std::string_view body, std::vector<CddbSite>& sites);

// A "cddb query" reply body: 200 (one exact match), 210–219 (list), 202 (no
// match, error 0), anything else EPROTONOSUPPORT.
CddbParseResult ParseQueryReply(std::string_view body, std::vector<CddbMatch>& matches);

// A "cddb read" reply body holding an xmcd entry (status 210–219). The record
// is reset first; on failure it may be partly filled and must not be used. A
// reply with any other status fails too, and so does an entry without track
// titles (a cut-off reply could otherwise look complete). Its texts come out
// in UTF-8, whatever character set the entry was stored in (CddbTextToUtf8
// at `protocolLevel`).
bool ParseDiscRecord(std::string_view body, CddbDiscRecord& record, int32_t protocolLevel = 6);

// The "\n", "\t" and "\\" escapes of an xmcd value, replaced in that order.
std::string UnescapeXmcdValue(std::string_view value);

// The value of hexadecimal digits up to the first other character; values
// beyond 32 bits saturate. False when there is no digit.
bool ParseHex32(std::string_view text, uint32_t& value);

}  // namespace quorvan
