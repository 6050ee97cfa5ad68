// The script whose texts phrase extraction looks for.
#pragma once

namespace velmora {

enum class TextMode : int { English = 0, European = 1, Japanese = 2 };

}  // namespace velmora
