// The top races whose winning times go to the score server, in the order the server reads them.
#pragma once

#include <array>

namespace milka::online {

// clang-format off
constexpr std::array<int, 9> kSentMonths = {
    3, 5, 6, 7, 8, 9, 10, 11, 12,
};
// clang-format on

}  // namespace milka::online
