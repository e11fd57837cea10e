#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cdaudio/cddb_types.h"
#include "common/product.h"

namespace quorvan {

class CCddbSocket;

// The CD's table of contents and the CDDB protocol over HTTP/1.0: the three
// commands sites, cddb query and cddb read, one connection each. Failures
// return false; GetErrorCode and GetErrorText tell why. Errors are errno
// values: EINVAL for a host that does not resolve, ETIMEDOUT for a silent
// server (until the command sees it), EPROTONOSUPPORT for every protocol-level
// failure.
class CCddbClient {
  public:
    CCddbClient() = default;
    virtual ~CCddbClient() = default;
    CCddbClient(const CCddbClient&) = delete;
    CCddbClient& operator=(const CCddbClient&) = delete;

    // Reads the table of contents of `drive` (a device path or a
    // table-of-contents file); on failure the table is empty.
    bool ReadToc(CdTrackTable& table, const std::string& drive);
    // Reads the table of contents and computes its disc id.
    bool ReadDiscId(const std::string& drive, uint32_t& discId);

    // The drive's error when the last table-of-contents read failed there,
    // else the last system-level error of a command.
    int GetErrorCode() const;
    std::string GetErrorText() const;

    // A server without other sites (401) gives an empty list and success.
    bool QuerySites(const std::string& host, int32_t port, const std::string& path,
                    std::vector<CddbSite>& sites);
    bool QueryDisc(const CddbSite& site, uint32_t discId, const CdTrackTable& table,
                   std::vector<CddbMatch>& matches);
    // The category must be a plain word (letters, digits, "-", "_"): it goes
    // into the request line as it stands.
    bool ReadDisc(const CddbSite& site, const std::string& category, uint32_t discId,
                  CddbDiscRecord& record);

    // "hello=user+host+client+version&proto=level".
    virtual std::string GetHelloString();
    // The e-mail address's local part when one is set, else the login name with
    // every character but letters and digits replaced by "_"; "Unknown" when
    // there is none.
    virtual std::string GetUserNameField();
    // The e-mail address's domain when one is set, else the sanitised host name.
    virtual std::string GetHostNameField();

    // Reads a reply until `terminator`, or in mode 1 until the body's status is
    // not 21x; fails when the server stays silent longer than the time-out
    // since its last data, or closes the connection first. The buffer grows as
    // the reply does, up to MaxReplySize().
    virtual bool ReceiveReply(CCddbSocket& socket, const std::string& terminator,
                              std::string& buffer, size_t blockSize, int mode);

    // An e-mail address for the hello, as the public servers want one.
    void SetEmailAddress(const std::string& address) { email_ = address; }
    const std::string& EmailAddress() const { return email_; }

    void SetTimeoutMs(uint32_t timeoutMs) { timeoutMs_ = timeoutMs; }
    const std::string& LastReply() const { return lastReply_; }
    // The status line of the server's reply when the last command failed
    // after the server had answered; empty otherwise.
    const std::string& ServerStatusLine() const { return replyStatus_; }
    // The whole text of the last request sent (request line and headers).
    const std::string& LastRequest() const { return lastRequest_; }

    // Replies larger than this fail: no disc entry comes near it.
    static constexpr size_t MaxReplySize() { return 64u << 20; }

  protected:
    // Sends one request to the site and receives its reply. False on any
    // failure, with the error state set.
    bool Exchange(const CddbSite& site, const std::string& command, int mode, std::string& reply);
    // Exchange, then the reply's body; none (and the error set) when the
    // exchange failed or the reply has no body. `reply` holds the text.
    std::optional<std::string_view> ExchangeForBody(const CddbSite& site,
                                                    const std::string& command, int mode,
                                                    std::string& reply);
    bool Fail(int systemError);

  private:
    std::string lastReply_;
    std::string lastRequest_;
    std::string replyStatus_;
    int32_t error_ = 0;        // the drive's error of the last failed TOC read
    int32_t systemError_ = 0;  // the last system-level error
    uint32_t timeoutMs_ = 2000;
    std::string clientName_ = "TelluraneCDDB";
    std::string clientVersion_ = kVersionText;
    int32_t protocolLevel_ = 6;  // level 6: UTF-8 replies
    std::string email_;
};

// Replaces every character that is not an ASCII letter or digit by "_".
std::string SanitizeHelloField(const std::string& text);

}  // namespace quorvan
