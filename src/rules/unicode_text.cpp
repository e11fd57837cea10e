#include "rules/unicode_text.h"

#include <unicode/normalizer2.h>
#include <unicode/translit.h>
#include <unicode/unistr.h>

#include "common/text.h"

namespace quorvan {

struct CTextTransform::Impl {
    std::unique_ptr<icu::Transliterator> transliterator;
    const icu::Normalizer2* normalizer = nullptr;  // owned by ICU

    void ApplyToValid(std::string_view run, std::string& out) const {
        icu::UnicodeString text = icu::UnicodeString::fromUTF8(
            icu::StringPiece(run.data(), static_cast<int32_t>(run.size())));
        if (transliterator) {
            transliterator->transliterate(text);
        } else {
            UErrorCode status = U_ZERO_ERROR;
            icu::UnicodeString normal = normalizer->normalize(text, status);
            if (U_FAILURE(status)) {
                out.append(run);
                return;
            }
            text = std::move(normal);
        }
        text.toUTF8String(out);
    }
};

CTextTransform::CTextTransform(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
CTextTransform::~CTextTransform() = default;

std::unique_ptr<CTextTransform> CTextTransform::Create(Kind kind) {
    auto impl = std::make_unique<Impl>();
    UErrorCode status = U_ZERO_ERROR;
    switch (kind) {
        case Kind::RemoveAccents:
        case Kind::ToAscii: {
            const char* id = kind == Kind::RemoveAccents ? "NFD; [:Nonspacing Mark:] Remove; NFC"
                                                         : "Any-Latin; Latin-ASCII";
            impl->transliterator.reset(icu::Transliterator::createInstance(
                icu::UnicodeString::fromUTF8(id), UTRANS_FORWARD, status));
            break;
        }
        case Kind::Nfc:
            impl->normalizer = icu::Normalizer2::getNFCInstance(status);
            break;
        case Kind::Nfd:
            impl->normalizer = icu::Normalizer2::getNFDInstance(status);
            break;
    }
    if (U_FAILURE(status) || (!impl->transliterator && impl->normalizer == nullptr)) {
        return nullptr;
    }
    return std::unique_ptr<CTextTransform>(new CTextTransform(std::move(impl)));
}

namespace {

bool IsAscii(char c) {
    return static_cast<unsigned char>(c) < 0x80;
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

void CTextTransform::Apply(std::string& text) const {
    // ASCII is its own form under every transform here, so ICU sees only the
    // words from the first character beyond ASCII to the last: most names need
    // it for a few characters or not at all.
    size_t first = 0;
    while (first < text.size() && IsAscii(text[first])) {
        ++first;
    }
    if (first == text.size()) {
        return;
    }
    size_t end = text.size();
    while (IsAscii(text[end - 1])) {
        --end;
    }
    while (first > 0 && IsAsciiLetter(text[first - 1])) {
        --first;
    }
    while (end < text.size() && IsAsciiLetter(text[end])) {
        ++end;
    }
    std::string out(text, 0, first);
    out.reserve(text.size() + 8);
    size_t runStart = first;
    size_t i = first;
    auto flush = [&](size_t upTo) {
        if (upTo > runStart) {
            impl_->ApplyToValid(std::string_view(text).substr(runStart, upTo - runStart), out);
        }
    };
    while (i < end) {
        char32_t cp = 0;
        size_t length = DecodeUtf8(text, i, cp);
        if (length == 0) {
            flush(i);
            out += text[i];
            ++i;
            runStart = i;
        } else {
            i += length;
        }
    }
    flush(end);
    out.append(text, end, std::string::npos);
    text = std::move(out);
}

}  // namespace quorvan
