#pragma once

#include "rules/rename_rules.h"
#include "rules/rule_pages.h"
#include "rules/state_page.h"

namespace quorvan::test {

// A page that simply holds what it shows, as a desktop page does in its
// widgets.
template <class S>
class CHeldPage final : public CStatePage<S> {
  public:
    CHeldPage() = default;
    explicit CHeldPage(S shown) : state(std::move(shown)) {}
    S State() const override { return state; }
    void SetState(const S& shown) override { state = shown; }
    S state;
};

// The four pages the rules read and show, each held, with the rules over them.
struct HeldPages {
    CHeldPage<RenamePageState> rename;
    CHeldPage<ExtendedPageState> extended;
    CHeldPage<AttributePageState> attribute;
    CHeldPage<CdAudioPageState> cd;
    CRenameRules rules;
    HeldPages() { rules.SetPages(&rename, &extended, &attribute, &cd); }
};

// The CD Audio page with CD naming on, the tracks in list order and the
// titles with their ticks.
inline CdAudioPageState CdPage(std::vector<std::string> tracks,
                               std::vector<RetrievedTitle> titles) {
    return {true, std::move(tracks), std::move(titles)};
}

}  // namespace quorvan::test
