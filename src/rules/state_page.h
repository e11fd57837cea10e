#pragma once

namespace quorvan {

// A settings page as the rules see it: it shows a plain state value and gives
// it back, and decides its own enabled states.
template <class PageState>
class CStatePage {
  public:
    virtual ~CStatePage() = default;
    virtual PageState State() const = 0;
    virtual void SetState(const PageState& state) = 0;
};

}  // namespace quorvan
