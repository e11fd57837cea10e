#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quorvan {

// Text transforms of ICU over UTF-8 names. Bytes that are not valid UTF-8 stay
// where they are, byte for byte; only the valid runs between them change.
class CTextTransform final {
  public:
    enum class Kind {
        RemoveAccents,  // "Crème" gives "Creme"
        ToAscii,        // "Привет" gives "Privet"; what has no Latin form stays
        Nfc,
        Nfd,
    };
    // Null when ICU lacks the data for it.
    static std::unique_ptr<CTextTransform> Create(Kind kind);
    ~CTextTransform();
    CTextTransform(const CTextTransform&) = delete;
    CTextTransform& operator=(const CTextTransform&) = delete;

    // One thread at a time.
    void Apply(std::string& text) const;

  private:
    struct Impl;
    explicit CTextTransform(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace quorvan
