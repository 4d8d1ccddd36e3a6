// The announcer's start call, by course, by the phrasing drawn and by the surface. Each call
// is its opening words, the race name, then its closing words; the second phrasing also says
// how many laps the race runs.
#pragma once

#include <array>

namespace milka::race {

struct StartCall {
  const char* beforeName;
  const char* afterName;
  bool tellsLaps;  // + "このレースは" + laps + "周致します"
};

constexpr const char* kLapsOpening = "このレースは";
constexpr const char* kLapsClosing = "周致します";

constexpr bool kLaps = true;
constexpr bool kNoLaps = false;

using SurfaceCalls = std::array<StartCall, 3>;    // ダート, ドロ, 芝
using CourseCalls = std::array<SurfaceCalls, 3>;  // phrasing 1, 2, 3

// clang-format off
constexpr std::array<CourseCalls, 4> kStartCalls = {{
  // 大井
  {{
    {{  // phrasing 1
      {"さあスタートです。南関東の中心大井競馬場、馬場状態は今日はダート", "", kNoLaps},
      {"さあスタートです。南関東の中心大井競馬場、馬場状態は今日はドロ", "", kNoLaps},
      {"さあスタートです。南関東の中心大井競馬場、馬場状態は今日は芝", "", kNoLaps},
    }},
    {{  // phrasing 2
      {"大井競馬場。馬場状態はダート", "", kLaps},
      {"大井競馬場。馬場状態はドロ", "", kLaps},
      {"大井競馬場。馬場状態は芝", "", kLaps},
    }},
    {{  // phrasing 3
      {"馬場状態はダートという今日の大井競馬場。これから", "です。", kNoLaps},
      {"馬場状態はドロという今日の大井競馬場。これから", "です。", kNoLaps},
      {"馬場状態は芝の今日の大井競馬場。これから", "です。", kNoLaps},
    }},
  }},
  // 川崎
  {{
    {{  // phrasing 1
      {"さあスタートです。馬場状態は今日はダート", "", kNoLaps},
      {"さあスタートです。馬場状態は今日はドロ", "", kNoLaps},
      {"さあスタートです。馬場状態は今日は芝", "", kNoLaps},
    }},
    {{  // phrasing 2
      {"ここ川崎競馬場。馬場状態はダート", "", kLaps},
      {"ここ川崎競馬場。馬場状態はドロ", "", kLaps},
      {"ここ川崎競馬場。馬場状態は芝", "", kLaps},
    }},
    {{  // phrasing 3
      {"馬場状態はダートという今日の川崎競馬場2日目。これから", "です。", kNoLaps},
      {"馬場状態はドロという今日の川崎競馬場初日。これから", "です。", kNoLaps},
      {"馬場状態は芝の今日の川崎競馬場最終日です。これから", "です。", kNoLaps},
    }},
  }},
  // 船橋
  {{
    {{  // phrasing 1
      {"さあスタートです。馬場状態は今日はダート", "", kNoLaps},
      {"さあスタートです。馬場状態は今日はドロ", "", kNoLaps},
      {"さあスタートです。馬場状態は今日は芝", "", kNoLaps},
    }},
    {{  // phrasing 2
      {"船橋競馬場です。馬場状態はダート", "", kLaps},
      {"船橋競馬場です。馬場状態はドロ", "", kLaps},
      {"船橋競馬場です。馬場状態は芝", "", kLaps},
    }},
    {{  // phrasing 3
      {"馬場状態はダートという今日の船橋競馬場。オートもよろしく。これから", "です。", kNoLaps},
      {"馬場状態はドロという今日の船橋競馬場。明日もどうぞご来場下さい。これから", "です。", kNoLaps},
      {"馬場状態は芝の今日の船橋競馬場。最終日となって、これから", "を迎えます。", kNoLaps},
    }},
  }},
  // 浦和
  {{
    {{  // phrasing 1
      {"さあスタートです。馬場状態は今日はダート", "", kNoLaps},
      {"さあスタートです。馬場状態は今日はドロ", "", kNoLaps},
      {"さあスタートです。馬場状態は今日は芝", "", kNoLaps},
    }},
    {{  // phrasing 2
      {"浦和競馬場。馬場状態はダート", "", kLaps},
      {"浦和競馬場。馬場状態はドロ", "", kLaps},
      {"浦和競馬場。馬場状態は芝", "", kLaps},
    }},
    {{  // phrasing 3
      {"馬場状態はダートという浦和競馬場。これから", "を迎えます。", kNoLaps},
      {"馬場状態はドロという今日の浦和競馬場。おすすめの場所から", "です。", kNoLaps},
      {"馬場状態は芝の浦和競馬場。この競馬場をもって使ってあげて下さい。これから", "です。", kNoLaps},
    }},
  }},
}};
// clang-format on

}  // namespace milka::race
