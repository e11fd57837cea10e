#include "cdaudio/http_fetcher.h"

#include <curl/curl.h>

#include <charconv>
#include <memory>
#include <mutex>
#include <thread>

#include "common/text.h"

namespace quorvan {

namespace {

struct Transfer {
    std::string body;
    long retryAfter = -1;
    bool tooLarge = false;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (transfer->body.size() + bytes > CCurlFetcher::kMaxReplySize) {
        transfer->tooLarge = true;
        return 0;  // makes curl stop with a write error
    }
    transfer->body.append(data, bytes);
    return bytes;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    std::string_view line(data, bytes);
    constexpr std::string_view kName = "retry-after:";
    if (line.size() > kName.size() && EqualsIgnoreCase(line.substr(0, kName.size()), kName)) {
        std::string_view value = TrimWhiteSpace(line.substr(kName.size()));
        long seconds = 0;
        auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), seconds);
        if (ec == std::errc() && end == value.data() + value.size() && seconds >= 0) {
            transfer->retryAfter = seconds;
        }
    }
    return bytes;
}

void InitialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

IClock::TimePoint CSystemClock::Now() {
    return std::chrono::steady_clock::now();
}

void CSystemClock::SleepFor(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

CCurlFetcher::CCurlFetcher(std::chrono::milliseconds timeout) : timeout_(timeout) {}

HttpReply CCurlFetcher::Get(const std::string& url, const std::vector<std::string>& headers) {
    InitialiseCurlOnce();
    HttpReply reply;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) {
        reply.error = "the HTTP library could not start";
        return reply;
    }
    curl_slist* list = nullptr;
    for (const std::string& header : headers) {
        list = curl_slist_append(list, header.c_str());
    }
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headerList(list,
                                                                           &curl_slist_free_all);
    Transfer transfer;
    char errorText[CURL_ERROR_SIZE] = {};
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headerList.get());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(timeout_.count()));
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeout_.count()));
    curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
    const CURLcode code = curl_easy_perform(handle);
    if (code != CURLE_OK) {
        if (transfer.tooLarge) {
            reply.error = "the reply is larger than any disc lookup";
        } else {
            reply.error = errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
        }
        return reply;
    }
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &reply.status);
    reply.body = std::move(transfer.body);
    reply.retryAfterSeconds = transfer.retryAfter;
    return reply;
}

}  // namespace quorvan
