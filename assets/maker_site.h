// The maker's web site: the one host both deliverables open pages on (the
// player's options menu and the about box), with the page addresses built from
// it at compile time so that neither needs a heap to make them.
#pragma once

#include <array>
#include <cstddef>

namespace assets {

constexpr char MAKER_SITE[] = "https://www.varnel.example";

// MAKER_SITE followed by `path`, as one NUL-ended text.
template <std::size_t N>
constexpr std::array<char, sizeof MAKER_SITE + N - 1> makerPage(const char (&path)[N]) {
    std::array<char, sizeof MAKER_SITE + N - 1> page{};
    std::size_t at = 0;
    for (std::size_t i = 0; i + 1 < sizeof MAKER_SITE; ++i) page[at++] = MAKER_SITE[i];
    for (std::size_t i = 0; i < N; ++i) page[at++] = path[i];
    return page;
}

}  // namespace assets
